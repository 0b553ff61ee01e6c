#include "merge/rendezvous_marks.h"

#include "merge/classify.h"

bool mark_blocks_without_rd(objet* chain) {
  bool holds = false;
  for (objet* node = chain; is_list(node); node = node->next) {
    objet* item = node->item;
    if (is_record(item)) {
      holds |= kind_of(item) == KIND_RD;
    } else if (is_list(item)) {
      const bool inner = mark_blocks_without_rd(item);
      if (!inner && is_record(item->item)) item->flags |= NO_RD_MARK;
      holds |= inner;
    }
  }
  return holds;
}

void join_rd_marks(objet* block, const objet* incoming) {
  if (!(incoming->flags & NO_RD_MARK)) block->flags &= static_cast<uint8_t>(~NO_RD_MARK);
}
