#include "merge/rendezvous_marks.h"

void join_rd_marks(objet* block, const objet* incoming) {
  if (holds_no_rd(incoming)) return;
  if (record* opening = block->item.rec()) opening->clear(NO_RD_MARK);
}
