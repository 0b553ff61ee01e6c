#pragma once

#include "merge/classify.h"
#include "report/objet.h"

// Depth-first walk in list order over the records of a tree: visit(holder)
// is called with each node whose item is a record; fields are not walked,
// empty items are passed over, and so are the lists whose first node carries
// passed_mark. A visit that returns true ends the whole walk, and so does
// the result true.
template <typename Visit>
bool walk_records(objet* chain, Visit& visit, uint8_t passed_mark = 0) {
  for (objet* node = chain; is_list(node); node = node->next) {
    objet* item = node->item;
    if (is_record(item)) {
      if (visit(node)) return true;
    } else if (is_list(item) && !(item->flags & passed_mark)) {
      if (walk_records(item, visit, passed_mark)) return true;
    }
  }
  return false;
}
