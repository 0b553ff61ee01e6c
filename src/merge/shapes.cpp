#include "merge/shapes.h"

bool is_block(const objet* x) {
  if (!is_list(x) || !is_record(x->item)) return false;
  int carried = 0;
  for (const objet* node = x; node; node = node->next) {
    if (!is_list(node)) return false;
    if (node->item && ++carried == 2) return true;
  }
  return false;
}

bool starts_with_block(const objet* x) { return is_list(x) && is_list(x->item) && is_block(x->item); }

objet* find_record(objet* list, uint32_t kind) {
  for (objet* node = list; is_list(node); node = node->next) {
    if (is_record(node->item) && is_exactly(node->item, kind)) return node->item;
  }
  return nullptr;
}

bool is_block_of(objet* x, uint32_t kind) { return is_block(x) && find_record(x, kind); }

bool opens_block_of(objet* x, uint32_t kind) { return is_block(x) && begins_with(x->item->item, kind); }

objet* first_holder_of(objet* list, uint32_t kind) {
  for (objet* node = list; is_list(node); node = node->next) {
    if (find_record(node->item, kind)) return node;
  }
  return nullptr;
}

objet* first_block_of(objet* list, uint32_t kind) {
  for (objet* node = list; is_list(node); node = node->next) {
    if (is_block_of(node->item, kind)) return node;
  }
  return nullptr;
}
