#pragma once

// What the group matching knows of the groups of one list of merged groups,
// kept up to date as groups join it, so that no group's blocks are searched
// again for every incoming group. It holds while the list changes only
// through the group matching: by report for groups without DS block, by DS
// name otherwise, else by start time.

#include <cstdint>
#include <memory>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "merge/tail_numbers.h"
#include "report/tree_node.h"

class merge_cache;

// A DS record's two names, by which groups are matched: views of the
// record's own text, which no merge changes.
using ds_name = std::pair<std::string_view, std::string_view>;

// What the group matching reads of one target group.
struct target_entry {
  tree_node* group;
  tree_node* node;  // the target node that holds the group
  record* ds;
  record* xi;
  int64_t start;  // DS field 7 as unsigned; -1 without it
  size_t rank;    // position among the target groups
  enum { UNLISTED, NAMED, WITHOUT_DS } listed;
  ds_name name;
  tail_numbers numbers;  // of xi, or else of ds
};

class group_index {
 public:
  // Indexes the groups of target, a list of merged groups. Each call that
  // files groups is given the cache, which answers for the merged groups'
  // blocks.
  void open(tree_node* target, const merge_cache& blocks);
  bool is_open() const { return tail_ != nullptr; }
  // The target group an incoming group (the item of incoming_node) merges
  // into; none when the group took a place of its own in the list, appended
  // or inserted by its DS start.
  target_entry* match(tree_node* incoming_node, const merge_cache& blocks);
  // After a group's merge: what it holds now is filed again.
  void merged(target_entry* entry, const merge_cache& blocks);

 private:
  struct by_rank {
    bool operator()(const target_entry* a, const target_entry* b) const { return a->rank < b->rank; }
  };
  // One set for every name: most names are a single group's, and a set of
  // its own apiece cost a run of many groups about a tenth of its heap.
  struct by_name_then_rank {
    bool operator()(const target_entry* a, const target_entry* b) const {
      return a->name != b->name ? a->name < b->name : a->rank < b->rank;
    }
  };
  using entry_set = std::set<target_entry*, by_rank>;
  // Where the search for the first group that lacks a report number goes
  // on: every entry ranked before `rank` (for without_ds_, every such entry
  // without DS block) holds `value`. A report's groups are matched one after
  // the other, each to the first group its report is not in yet, so the
  // search would otherwise pass over all the groups matched so far each time.
  struct report_cursor {
    bool set = false;
    int32_t value = 0;
    size_t rank = 0;
  };

  void refile(target_entry* entry, const merge_cache& blocks);
  void note_added(target_entry* entry);
  target_entry* add_entry(size_t rank, tree_node* group, tree_node* node, const merge_cache& blocks);
  void append_group(tree_node* incoming_node, const merge_cache& blocks);
  void insert_group_in_order(tree_node* incoming_node, const merge_cache& blocks);
  target_entry* match_by_report(tree_node* group);
  target_entry* match_by_name(tree_node* group);
  static report_cursor& cursor_for(report_cursor& cursor, int32_t number);

  tree_node* target_ = nullptr;
  tree_node* tail_ = nullptr;
  std::vector<std::unique_ptr<target_entry>> entries_;  // in list order
  std::set<target_entry*, by_name_then_rank> by_name_;  // the NAMED entries
  entry_set without_ds_;
  std::vector<int64_t> running_max_;  // of start over entries_; empty when stale
  report_cursor lacking_;             // over entries_, by their XI or else DS record
  report_cursor lacking_without_ds_;  // over without_ds_, by their XI record
};
