#pragma once

// The walk over the records of a tree, in document order, at any depth.

#include "report/node_stack.h"
#include "report/tree_node.h"

// Depth-first walk in list order over the records of a tree: visit(holder)
// is called with each node whose item is a record; empty items are passed
// over, and so are the lists whose first record carries passed_mark. A visit that returns true ends the whole walk, and
// so does the result true. The enclosing levels wait on a stack of their own, so that no nesting depth can exhaust the
// call stack; a level goes on from its node's successor as it stands when the level below is done. enter(list) is the
// node a walk into a list (the chain first) goes on from: a node further on when the caller took the records before it.
template <typename Visit, typename Enter>
bool walk_records(tree_node* chain, Visit& visit, record_mark passed_mark, Enter enter) {
  node_stack waiting;
  tree_node* node = enter(chain);
  for (;;) {
    if (!node) {
      if (waiting.empty()) return false;
      node = waiting.pop()->next;
      continue;
    }
    if (node->item.is_record()) {
      if (visit(node)) return true;
    } else if (tree_node* list = node->item.list()) {
      const record* first = list->item.rec();
      if (!first || !first->has(passed_mark)) {
        waiting.push(node);
        node = enter(list);
        continue;
      }
    }
    node = node->next;
  }
}

template <typename Visit>
bool walk_records(tree_node* chain, Visit& visit, record_mark passed_mark = record_mark{}) {
  return walk_records(chain, visit, passed_mark, [](tree_node* list) { return list; });
}
