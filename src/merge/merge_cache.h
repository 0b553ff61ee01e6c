#pragma once

// What the merges keep of the merged tree from one report to the next, so
// that a report's merge touches the merged tree where it changes it rather
// than all over: the order of the lists that grow with every report (the
// time variant's body, the merged blocks' inner items) with the RD records
// their items hold, the group matching's index of each group list, and the
// last node of the chains that grow at their end (the first and last
// sections). It holds for one
// merged tree while only the merges change it and its times keep their
// stored values: the merged report owns both, and drops it when the times
// settle.

#include <unordered_map>
#include <vector>

#include "merge/group_index.h"
#include "merge/time_order.h"
#include "report/tree_node.h"
#include "report/shapes.h"

class merge_cache {
 public:
  // The first node of a merged group whose item holds a record of exactly
  // that kind (and is a block, when asked): a merged block's kept order
  // answers "none" without reading the block.
  tree_node* first_holding(tree_node* group, uint32_t kind, bool blocks_only) const;
  block_end end_of(tree_node* block) const;

  // The items go into the merged block in time order before its closing
  // record, which follows the last inserted node.
  void insert_into_block(tree_node* block, const block_end& end, const std::vector<tree_node*>& nodes, uint32_t owed);
  // Items the block takes other than by time: its order is read again next time.
  void forget_order_of(tree_node* block) { block_orders_.erase(block); }
  tree_node* insert_into_body(tree_node* body, const std::vector<tree_node*>& nodes, uint32_t owed) {
    body_order_.index_rendezvous();
    return body_order_.insert(body, nodes, owed, &names_, &placing_room_);
  }

  // Chains that grow at their end with every report (the first and last
  // sections): tail goes after the chain's last node, which is kept.
  void append_tail(tree_node* chain, tree_node* tail);

  group_index& index_of(tree_node* list) { return group_indexes_[list]; }

  // The RD records of a chain of the merged tree in document order, as a
  // walk passing over blocks that hold none would find them. The kept
  // orders are the one place that holds RD records from one report to the
  // next: their lists give theirs without being read again. What it gives
  // stays until the next call or merge.
  const std::vector<rd_ref>& merged_rendezvous(tree_node* chain);
  // The same records by name, when the time variant's body order holds
  // them all (mostly: the chain is the body and the order runs to its end).
  const rendezvous_index* merged_rendezvous_by_name(tree_node* chain) const;
  // The list merged_rendezvous gave is read no more: its memory goes back
  // before the merges, where a run's memory peaks.
  void done_with_rendezvous();
  rendezvous_names& names() { return names_; }

 private:
  const time_order* kept_order(tree_node* block) const;
  bool holds_record(tree_item item, uint32_t kind) const;
  tree_node* take_kept_run(tree_node* chain, std::vector<rd_ref>* refs);

  static constexpr size_t SHORT_BLOCK = 32;  // items

  rendezvous_names names_;
  // The list merged_rendezvous gives, made afresh for every report with the
  // room the last one took and a quarter more: grown from nothing, it copied
  // itself over and over as it grew, every merged RD record each time.
  std::vector<rd_ref> merged_rd_room_;
  size_t merged_rd_last_ = 0;
  time_order body_order_;
  // The items of one insertion, into whichever order: the merge inserts a
  // few items at a time, tens of thousands of times.
  time_order::placing placing_room_;
  std::unordered_map<tree_node*, time_order> block_orders_;  // by the block's first node
  std::unordered_map<tree_node*, tree_node*> last_nodes_;        // by chain
  std::unordered_map<tree_node*, group_index> group_indexes_;  // by the list's first node
};
