#pragma once

#include "report/objet.h"

// Pairs opening and closing records into blocks, innermost constructs first,
// then splits the top level into its three holders.
objet* nest_blocks(objet* chain);
// Over a chain that starts with a head node; records by their kinds, as for
// close_blocks.
void nest_flat(objet* head, uint32_t opening, uint32_t closing);
void nest_balanced(objet* head, uint32_t opening, uint32_t closing);
void split_top(objet* head);
