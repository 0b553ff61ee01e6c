#pragma once

// Nesting: opening and closing records pair into blocks, innermost
// constructs first, and the report splits into its three sections.

#include "report/closing.h"

// Returns the nested chain; report keeps no top level after it.
tree_node* nest_blocks(report_top* report);

