#include "report/shapes.h"

bool is_block(tree_item x) {
  tree_node* list = x.list();
  if (!list || !list->item.is_record()) return false;
  int carried = 0;
  for (const tree_node* node = list; node; node = node->next) {
    if (node->item && ++carried == 2) return true;
  }
  return false;
}

bool starts_with_block(tree_item x) { return x.is_list() && is_block(x.list()->item); }

record* find_record(tree_item list, uint32_t kind) {
  for (tree_node* node = list.list(); node; node = node->next) {
    if (record* r = node->item.rec(); r && is_exactly(*r, kind)) return r;
  }
  return nullptr;
}

bool is_block_of(tree_item x, uint32_t kind) { return is_block(x) && find_record(x, kind); }

bool opens_block_of(tree_item x, uint32_t kind) {
  return is_block(x) && begins_with(opening_record(x)->keyword(), kind);
}

tree_node* first_holder_of(tree_item list, uint32_t kind) {
  for (tree_node* node = list.list(); node; node = node->next) {
    if (find_record(node->item, kind)) return node;
  }
  return nullptr;
}

tree_node* first_block_of(tree_item list, uint32_t kind) {
  for (tree_node* node = list.list(); node; node = node->next) {
    if (is_block_of(node->item, kind)) return node;
  }
  return nullptr;
}

block_end block_end_of(tree_node* block) {
  tree_node* node = block;
  while (node->next && node->next->next) node = node->next;
  return {node, node->next ? node->next : node};
}
