#include "merge/rendezvous_marks.h"

#include <vector>

#include "merge/shapes.h"

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
    if (!is_list(node)) {
      const open_chain done = level;
      open.pop_back();
      if (open.empty()) return done.holds;
      if (!done.holds && is_record(done.list->item)) done.list->flags |= NO_RD_MARK;
      open.back().holds |= done.holds;
      open.back().node = open.back().node->next;
      continue;
    }
    objet* item = node->item;
    if (is_list(item) && !is_record(item)) {
      open.push_back({item, item, false});
      continue;
    }
    if (is_record(item)) level.holds |= kind_of(item) == KIND_RD;
    level.node = node->next;
  }
}

void join_rd_marks(objet* block, const objet* incoming) {
  if (!(incoming->flags & NO_RD_MARK)) block->flags &= static_cast<uint8_t>(~NO_RD_MARK);
}
