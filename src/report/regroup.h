#pragma once

// Pruning and regrouping: DA and PP blocks that no record selects go, and
// every XI block gathers with the DS block and the DT or XE element after it
// into a group.

#include "report/tree_node.h"

// Removes the DA and PP blocks past the first holder in which no record has
// the first field "1".
tree_node* prune_blocks(tree_node* report);

// Gathers every XI block with the DS block and the DT or XE element that
// follow it into one group node, wherever a chain opens such groups.
tree_node* regroup_all(tree_node* chain);
