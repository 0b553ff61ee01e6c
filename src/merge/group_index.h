#pragma once

// What the group matching knows of the groups of one list of merged groups,
// kept up to date as groups join it, so that no group's blocks are searched
// again for every incoming group.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <string_view>

#include "merge/tail_numbers.h"
#include "report/objet.h"

class merge_cache;

// What the group matching reads of one target group, kept while a list is
// merged (and, in a merge cache, from one report to the next) so that no
// group's blocks are searched again for every incoming group.
// A DS record's two names, by which groups are matched: views of the
// record's own text, which no merge changes.
using ds_name = std::pair<std::string_view, std::string_view>;

struct target_entry {
  objet* group;
  objet* node;  // the target node that holds the group
  record* ds;
  record* xi;
  int64_t start;  // DS field 7 as unsigned; -1 without it
  size_t rank;    // position among the target groups
  enum { UNLISTED, NAMED, WITHOUT_DS } listed;
  ds_name name;
  tail_numbers numbers;  // of xi, or else of ds
};

struct by_rank {
  bool operator()(const target_entry* a, const target_entry* b) const { return a->rank < b->rank; }
};

using entry_set = std::set<target_entry*, by_rank>;

// Where the search for the first group that lacks a report number goes on:
// every entry ranked before `rank` (for without_ds, every such entry without
// DS block) holds `value`. A report's groups are matched one after the
// other, each to the first group its report is not in yet, so the search
// would otherwise pass over all the groups matched so far each time.
struct report_cursor {
  bool set = false;
  int32_t value = 0;
  size_t rank = 0;
};

// The target groups of one group list; it holds while the list changes only
// through the group matching.
struct group_index {
  merge_cache* cache = nullptr;
  objet* target = nullptr;
  objet* tail = nullptr;
  std::vector<std::unique_ptr<target_entry>> entries;  // in list order
  std::map<ds_name, entry_set> by_name;
  entry_set without_ds;
  std::vector<int64_t> running_max;  // of start over entries; empty when stale
  report_cursor lacking;             // over entries, by their XI or else DS record
  report_cursor lacking_without_ds;  // over without_ds, by their XI record
};
