#pragma once

#include "report/objet.h"

// Pairs opening and closing records into blocks, innermost constructs first,
// then splits the top level into its three holders.
objet* nest_blocks(objet* chain);

