#pragma once

// Shape tests over report trees: what is a block, a group, and where the
// first element of a kind stands in a list. The keyword tests they use
// compare whole keywords (see is_exactly).

#include "report/tree_node.h"
#include "report/record_kinds.h"

// A shaped report, and the merged tree, are three sections: the first
// records, the body, the last records. The body's chain, if any.
inline tree_node* body_of(tree_node* tree) { return tree && tree->next ? tree->next->item.list() : nullptr; }
// A list whose first item is a record and which carries two items at least.
bool is_block(tree_item x);
bool starts_with_block(tree_item x);
// The record a block opens with.
inline record* opening_record(tree_item block) { return block.list()->item.rec(); }
// The opening record of the block a group node holds; none without node.
inline record* opening_of(tree_node* holder) { return holder ? opening_record(holder->item) : nullptr; }
// A block's last node (its closing record's) and the node before it.
struct block_end {
  tree_node* before;
  tree_node* last;
};
// Read from the block's nodes.
block_end block_end_of(tree_node* block);
// The first record at the top of a list whose keyword is exactly that of kind.
record* find_record(tree_item list, uint32_t kind);
bool is_block_of(tree_item x, uint32_t kind);    // a block holding such a record
bool opens_block_of(tree_item x, uint32_t kind);  // a block whose first record begins with the kind's letters

// First-element searches over a list: the first node whose item passes the
// test; nothing when the list is none.
tree_node* first_holder_of(tree_item list, uint32_t kind);  // an item holding such a record
tree_node* first_block_of(tree_item list, uint32_t kind);   // an item that is a block holding one

// A group starts with a block and has a block holding a DS or an XI record;
// block_of(list, kind) is first_block_of, or a search that gives the same
// for the lists it is asked about (the merge cache's, for merged groups).
template <typename Block_of>
bool opens_group(tree_item x, Block_of block_of) {
  return starts_with_block(x) && (block_of(x, KIND_DS) || block_of(x, KIND_XI));
}
inline bool opens_group(tree_item x) { return opens_group(x, first_block_of); }
// A list of groups only.
template <typename Block_of>
bool all_open_groups(tree_item x, Block_of block_of) {
  tree_node* list = x.list();
  if (!list || !list->item.is_list()) return false;
  for (tree_node* node = list; node; node = node->next) {
    if (!opens_group(node->item, block_of)) return false;
  }
  return true;
}
inline bool all_open_groups(tree_item x) { return all_open_groups(x, first_block_of); }
