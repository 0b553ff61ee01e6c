#pragma once

// The rendezvous search reads the merged tree again for every report; the
// opening record of a block that holds no RD record carries a mark, so that
// the search passes the block over.

#include "report/objet.h"

// Marks with NO_RD_MARK the opening record of every block of chain that
// holds no RD record at any depth. True when chain holds one.
bool mark_blocks_without_rd(objet* chain);
// Whether list is a block marked so.
inline bool holds_no_rd(const objet* list) {
  const record* first = list->item.rec();
  return first && first->has(NO_RD_MARK);
}
// After incoming has joined block: block keeps its mark only if incoming
// carried it too.
void join_rd_marks(objet* block, const objet* incoming);
