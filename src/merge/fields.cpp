#include "merge/fields.h"

objet* node_at(objet* list, int i) {
  objet* node = list;
  for (int step = 0; is_list(node) && step < i; ++step) node = node->next;
  return is_list(node) ? node : nullptr;
}

// A record shorter than the position yields nothing; callers decide.
objet* field_at(objet* record, int i) {
  objet* node = node_at(record, i);
  return node ? node->item : nullptr;
}

objet* replace_field(objet* record, int i, objet* cell) {
  objet* node = node_at(record, i);
  if (!node) return nullptr;
  objet* old = node->item;
  node->item = cell;
  return old;
}
