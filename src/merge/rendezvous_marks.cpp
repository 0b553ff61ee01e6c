#include "merge/rendezvous_marks.h"

void join_rd_marks(tree_node* block, const tree_node* incoming) {
  if (holds_no_rd(incoming)) return;
  if (record* opening = block->item.rec()) opening->clear(NO_RD_MARK);
}
