#pragma once

#include "merge/classify.h"
#include "report/objet.h"

// Depth-first walk in list order over the records of a tree: visit(holder)
// is called with each node whose item is a record; fields are not walked,
// empty items are passed over. A visit that returns true ends the whole
// walk, and so does the result true.
template <typename Visit>
bool walk_records(objet* chain, Visit& visit) {
  for (objet* node = chain; is_list(node); node = node->next) {
    objet* item = node->item;
    if (is_record(item)) {
      if (visit(node)) return true;
    } else if (is_list(item)) {
      if (walk_records(item, visit)) return true;
    }
  }
  return false;
}
