#include "report/objet.h"

#include <new>

#include "report/cell_memory.h"
#include "report/node_stack.h"

objet* make_list(tree_item item, objet* next) {
  return new (take_node_memory(sizeof(objet))) objet{next, item};
}

objet* new_node() { return make_list(nullptr, nullptr); }

objet* list1(tree_item item) { return make_list(item, nullptr); }

objet* last_node(objet* chain) {
  while (chain->next) chain = chain->next;
  return chain;
}

objet* append(objet* chain, objet* tail) {
  objet* last = last_node(chain);
  last->next = tail;
  return last;
}

objet* insert_after(objet* node, objet* chain) {
  objet* inserted_last = last_node(chain);
  inserted_last->next = node->next;
  node->next = chain;
  return inserted_last;
}

objet* nest_range(objet* first, objet* last) {
  objet* holder = make_list(first->next, last->next);
  last->next = nullptr;
  first->next = holder;
  return holder;
}

void free_objet(objet* chain) {
  node_stack pending;
  if (chain) pending.push(chain);
  while (!pending.empty()) {
    for (objet* node = pending.pop(); node;) {
      objet* next = node->next;
      if (objet* list = node->item.list()) pending.push(list);
      if (record* r = node->item.rec()) free_record(r);
      give_back_node_memory(node);
      node = next;
    }
  }
}

void free_item(tree_item item) {
  if (record* r = item.rec()) free_record(r);
  if (objet* list = item.list()) free_objet(list);
}

void free_at_exit(objet* tree) {
  if (memory_released_one_by_one()) free_objet(tree);
}

objet* drop_first(objet* chain) {
  objet* rest = chain->next;
  chain->next = nullptr;
  free_objet(chain);
  return rest;
}
