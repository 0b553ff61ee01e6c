#pragma once

// The walk over the records of a tree, in document order, at any depth.

#include <vector>

#include "merge/shapes.h"
#include "report/objet.h"

// Depth-first walk in list order over the records of a tree: visit(holder)
// is called with each node whose item is a record; fields are not walked,
// empty items are passed over, and so are the lists whose first node carries
// passed_mark. A visit that returns true ends the whole walk, and so does
// the result true. The enclosing levels wait on a stack of their own, so
// that no nesting depth can exhaust the call stack; a level goes on from
// its node's successor as it stands when the level below is done.
// enter(list) is the node a walk into a list (the chain first) goes on
// from: a node further on when the caller took the records before it.
template <typename Visit, typename Enter>
bool walk_records(objet* chain, Visit& visit, uint8_t passed_mark, Enter enter) {
  std::vector<objet*> waiting;
  objet* node = enter(chain);
  for (;;) {
    if (!is_list(node)) {
      if (waiting.empty()) return false;
      node = waiting.back()->next;
      waiting.pop_back();
      continue;
    }
    objet* item = node->item;
    if (is_record(item)) {
      if (visit(node)) return true;
    } else if (is_list(item) && !(item->flags & passed_mark)) {
      waiting.push_back(node);
      node = enter(item);
      continue;
    }
    node = node->next;
  }
}

template <typename Visit>
bool walk_records(objet* chain, Visit& visit, uint8_t passed_mark = 0) {
  return walk_records(chain, visit, passed_mark, [](objet* list) { return list; });
}
