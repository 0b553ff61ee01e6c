#pragma once

// The reports merged so far, on one time base: the tree, its alignment (the
// shift it owes its stored times, see alignment.h) and the cache that keeps
// its merges fast while the stored times hold. Only this type changes the
// tree until it hands it over, so no edit can leave the two behind. A
// report joins in two steps, between which the run gives it its source
// record: align, then merge.

#include <cstdint>

#include "merge/alignment.h"
#include "merge/merge_cache.h"
#include "merge/report_survey.h"
#include "merge/time_shift.h"
#include "report/tree_node.h"
#include "report/source_record.h"

class merged_report {
 public:
  // by_time: the time variant, whose bodies merge item by item in time order.
  explicit merged_report(bool by_time) : by_time_(by_time) {}
  ~merged_report() { free_tree(tree_); }
  merged_report(const merged_report&) = delete;
  merged_report& operator=(const merged_report&) = delete;

  // Puts a shaped report and the tree on one time base (the report read
  // from source, surveyed by survey_report).
  void align(tree_node* report, const report_survey& survey, const report_source& source);
  // Merges the aligned report in.
  void merge(tree_node* report);
  // Gives every time its value; what the cache held goes with the owed shift.
  void settle();
  // The tree, which the caller takes, and the shift it owes; nothing is left
  // here.
  owing_tree take_tree();

 private:
  rendezvous_match shared_rendezvous(tree_node* report);

  tree_node* tree_ = nullptr;
  const bool by_time_;
  alignment alignment_;
  merge_cache cache_;
};
