#pragma once

// The rendezvous search reads the merged tree again for every report; the
// opening record of a block that holds no RD record carries a mark, so that
// the search passes the block over.

#include <vector>

#include "report/tree_node.h"
#include "report/record_kinds.h"

// Marks with NO_RD_MARK the opening record of every block of chain that
// holds no RD record at any depth; true when chain holds one. On the way
// visit(record, top) meets every record in document order, top being the
// node of chain it lies under. Post-order over a stack of its own: no
// nesting depth can exhaust the call stack.
template <typename Visit>
bool mark_blocks_without_rd(tree_node* chain, Visit visit) {
  // A chain being walked: where the walk stands in it, whether an RD record
  // was met in it so far, and the list item (the block) it is the chain of.
  struct open_chain {
    tree_node* node;
    tree_node* list;
    bool holds;
  };
  std::vector<open_chain> open{{chain, nullptr, false}};
  for (;;) {
    open_chain& level = open.back();
    tree_node* node = level.node;
    if (!node) {
      const open_chain done = level;
      open.pop_back();
      if (open.empty()) return done.holds;
      if (record* opening = done.list->item.rec(); opening && !done.holds) opening->set(NO_RD_MARK);
      open.back().holds |= done.holds;
      open.back().node = open.back().node->next;
      continue;
    }
    if (tree_node* list = node->item.list()) {
      open.push_back({list, list, false});
      continue;
    }
    if (record* r = node->item.rec()) {
      level.holds |= r->kind() == KIND_RD;
      visit(r, open.front().node);
    }
    level.node = node->next;
  }
}
inline bool mark_blocks_without_rd(tree_node* chain) {
  return mark_blocks_without_rd(chain, [](record*, tree_node*) {});
}
// Whether list is a block marked so.
inline bool holds_no_rd(const tree_node* list) {
  const record* first = list->item.rec();
  return first && first->has(NO_RD_MARK);
}
// After incoming has joined block: block keeps its mark only if incoming
// carried it too.
void join_rd_marks(tree_node* block, const tree_node* incoming);
