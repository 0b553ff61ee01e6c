#include "report/tree_node.h"

#include <new>

#include "report/node_memory.h"
#include "report/node_stack.h"

tree_node* make_list(tree_item item, tree_node* next, block_life life) {
  return new (take_node_memory(sizeof(tree_node), life)) tree_node{next, item};
}

tree_node* new_node() { return make_list(nullptr, nullptr); }

tree_node* list1(tree_item item) { return make_list(item, nullptr); }

tree_node* last_node(tree_node* chain) {
  while (chain->next) chain = chain->next;
  return chain;
}

tree_node* append(tree_node* chain, tree_node* tail) {
  tree_node* last = last_node(chain);
  last->next = tail;
  return last;
}

tree_node* insert_after(tree_node* node, tree_node* chain) {
  tree_node* inserted_last = last_node(chain);
  inserted_last->next = node->next;
  node->next = chain;
  return inserted_last;
}

tree_node* nest_range(tree_node* first, tree_node* last) {
  tree_node* holder = make_list(first->next, last->next);
  last->next = nullptr;
  first->next = holder;
  return holder;
}

void free_tree(tree_node* chain) {
  node_stack pending;
  if (chain) pending.push(chain);
  while (!pending.empty()) {
    for (tree_node* node = pending.pop(); node;) {
      tree_node* next = node->next;
      if (tree_node* list = node->item.list()) pending.push(list);
      if (record* r = node->item.rec()) free_record(r);
      give_back_node_memory(node);
      node = next;
    }
  }
}

void free_item(tree_item item) {
  if (record* r = item.rec()) free_record(r);
  if (tree_node* list = item.list()) free_tree(list);
}

void free_at_exit(tree_node* tree) {
  if (memory_released_one_by_one()) free_tree(tree);
}

tree_node* drop_first(tree_node* chain) {
  tree_node* rest = chain->next;
  chain->next = nullptr;
  free_tree(chain);
  return rest;
}
