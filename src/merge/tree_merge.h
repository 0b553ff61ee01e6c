#pragma once

// The rules by which a report joins the merged tree: its first and last
// sections are collected, and its body joins the merged body group by group
// (the structural merge) or item by item in time order (the time variant).
// A tree_merge works for the merged report that owns the tree: the times
// it compares are stored times plus the shift the merged tree owes, and
// what it asks of the merged tree it asks of that tree's cache.

#include <vector>

#include "merge/merge_cache.h"
#include "report/tree_node.h"
#include "report/record_kinds.h"

class tree_merge {
 public:
  tree_merge(merge_cache& cache, uint32_t owed) : cache_(cache), owed_(owed) {}

  // merged (nothing for the first report) with report merged into it; what
  // is left of report is released.
  tree_node* merge_report(tree_node* merged, tree_node* report);
  tree_node* merge_report_by_time(tree_node* merged, tree_node* report);

  // Every group of the incoming list into the target list (the incoming
  // nodes keep an empty item where a group left them).
  void merge_groups(tree_node* target, tree_node* incoming);

  // Two end records of one block: the target keeps the value of end.field
  // the rule picks and takes the incoming record's report-number tail.
  void merge_records(record* target, record* incoming, const merged_end& end);

 private:
  void merge_body(tree_node* merged_body, tree_node* body);
  void merge_body_by_time(tree_node* merged_body, tree_node* body);

  // A group merges in two steps around the merge of its DS block's inner
  // group lists, which waits on the stack of merge_groups.
  struct nested_lists {
    tree_node* target = nullptr;
    tree_node* incoming = nullptr;
  };
  void merge_group_head(tree_node* target_group, tree_node* group, nested_lists* nested);
  void merge_group_tail(tree_node* target_group, tree_node* group);
  void merge_block(tree_node* target_group, tree_node* target_holder, tree_node* incoming_holder);
  void merge_ds_block(tree_node* target_group, tree_node* target_holder, tree_node* incoming_holder,
                      nested_lists* nested);
  // Two blocks of one test item or step, their end records merged.
  struct joined_blocks {
    tree_node* block;
    tree_node* incoming;
    block_end end, incoming_end;
  };
  joined_blocks join_ends(tree_node* target_holder, tree_node* incoming_holder, record_kind opening, record_kind closing);
  void merge_block_items(tree_node* block, const block_end& end, tree_node* incoming, const block_end& incoming_end);
  void keep_inner_left_overs(const block_end& end, tree_node** from, const block_end& incoming_end);

  uint32_t time_of(const record* r, uint32_t position, int32_t value) const;

  merge_cache& cache_;
  const uint32_t owed_;
  std::vector<tree_node*> carriers_;  // unlink_carriers' room, kept from block to block
};
