#pragma once

#include "report/objet.h"

// Pairs opening and closing records into blocks, innermost constructs first,
// then splits the top level into its three holders.
objet* nest_blocks(objet* chain);
// Over a chain that starts with a head node; keywords as two-letter texts.
void nest_flat(objet* head, const char* opening, const char* closing);
void nest_balanced(objet* head, const char* opening, const char* closing);
void split_top(objet* head);
