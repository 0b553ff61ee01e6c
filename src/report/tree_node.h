#pragma once

// The cell reports are built of: a node of a chain, whose item is a record,
// a list (the first node of another chain: a block, a group, a holder) or
// nothing. Chains and the lists within them make a report's tree.

#include <cstddef>
#include <cstdint>

#include "report/record.h"

struct tree_node;

// A node's item. A record's address is at least two-byte aligned, so its
// lowest bit tells a record from a list.
class tree_item {
 public:
  tree_item() = default;
  tree_item(std::nullptr_t) {}
  tree_item(tree_node* list) : bits_(reinterpret_cast<uintptr_t>(list)) {}
  tree_item(record* r) : bits_(r ? reinterpret_cast<uintptr_t>(r) | RECORD_BIT : 0) {}

  bool empty() const { return bits_ == 0; }
  bool is_list() const { return bits_ != 0 && !(bits_ & RECORD_BIT); }
  bool is_record() const { return bits_ & RECORD_BIT; }
  tree_node* list() const { return is_list() ? reinterpret_cast<tree_node*>(bits_) : nullptr; }
  record* rec() const { return is_record() ? reinterpret_cast<record*>(bits_ & ~RECORD_BIT) : nullptr; }
  explicit operator bool() const { return bits_ != 0; }
  bool operator==(const tree_item& other) const { return bits_ == other.bits_; }
  bool operator!=(const tree_item& other) const { return bits_ != other.bits_; }

 private:
  static constexpr uintptr_t RECORD_BIT = 1;
  uintptr_t bits_ = 0;
};

struct tree_node {
  tree_node* next;
  tree_item item;
};
static_assert(sizeof(tree_node) == 16, "a node costs 16 bytes: a report holds millions");

// Construction
// A node lives as long as the record it holds, or the block it opens.
tree_node* make_list(tree_item item, tree_node* next, block_life life = block_life::whole_run);
tree_node* new_node();
tree_node* list1(tree_item item);

// List operations
tree_node* last_node(tree_node* chain);
// Makes tail the successor of chain's last node, which it returns.
tree_node* append(tree_node* chain, tree_node* tail);
// Splices chain in after node; returns the chain's last node.
tree_node* insert_after(tree_node* node, tree_node* chain);
// The run from first's successor to last becomes the item of one new node,
// first's successor; returns it.
tree_node* nest_range(tree_node* first, tree_node* last);

// Release of a chain, every item below it included; iterative, so that
// neither long chains nor deep trees can exhaust the stack.
void free_tree(tree_node* chain);
void free_item(tree_item item);
// For a tree the run needs no more when only its end is left (see
// node_memory.h).
void free_at_exit(tree_node* tree);
// Frees the first node of a chain (and its item); returns the rest.
tree_node* drop_first(tree_node* chain);
