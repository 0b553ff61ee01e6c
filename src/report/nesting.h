#pragma once

// Nesting: opening and closing records pair into blocks, innermost
// constructs first, and the report splits into its three sections.

#include "report/objet.h"

objet* nest_blocks(objet* chain);

