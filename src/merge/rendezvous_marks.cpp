#include "merge/rendezvous_marks.h"

#include <vector>

#include "report/record_kinds.h"

namespace {
// A chain being walked: where the walk stands in it, whether an RD record
// was met in it so far, and the list item (the block) it is the chain of.
struct open_chain {
  objet* node;
  objet* list;
  bool holds;
};
}  // namespace

// Post-order over an explicit stack: no nesting depth can exhaust the call
// stack.
bool mark_blocks_without_rd(objet* chain) {
  std::vector<open_chain> open{{chain, nullptr, false}};
  for (;;) {
    open_chain& level = open.back();
    objet* node = level.node;
    if (!node) {
      const open_chain done = level;
      open.pop_back();
      if (open.empty()) return done.holds;
      if (record* opening = done.list->item.rec(); opening && !done.holds) opening->set(NO_RD_MARK);
      open.back().holds |= done.holds;
      open.back().node = open.back().node->next;
      continue;
    }
    if (objet* list = node->item.list()) {
      open.push_back({list, list, false});
      continue;
    }
    if (const record* r = node->item.rec()) level.holds |= r->kind() == KIND_RD;
    level.node = node->next;
  }
}

void join_rd_marks(objet* block, const objet* incoming) {
  if (holds_no_rd(incoming)) return;
  if (record* opening = block->item.rec()) opening->clear(NO_RD_MARK);
}
