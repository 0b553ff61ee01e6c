#pragma once

// The rendezvous search reads the merged tree again for every report; blocks
// that hold no RD record carry a mark on their first node, so that it
// passes them over.

#include "report/objet.h"

enum { NO_RD_MARK = OWNER_MARK };

// Marks with NO_RD_MARK every block of chain that holds no RD record at any
// depth, so that the rendezvous search over the merged tree, made again for
// every report, passes them over. True when chain holds one.
bool mark_blocks_without_rd(objet* chain);
// After incoming has joined block: block keeps its mark only if incoming
// carried it too.
void join_rd_marks(objet* block, const objet* incoming);
