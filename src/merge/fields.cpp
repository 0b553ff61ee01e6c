#include "merge/fields.h"

objet* replace_field(objet* record, int i, objet* cell) {
  objet* node = node_at(record, i);
  if (!node) return nullptr;
  objet* old = node->item;
  node->item = cell;
  return old;
}
