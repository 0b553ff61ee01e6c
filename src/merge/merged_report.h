#pragma once

// The reports merged so far, on one time base: the tree and all that keeps
// its merges fast. The merged tree moves its time origin once per report,
// and a walk over every record merged so far each time would make a run
// quadratic in its testers; so its time fields (clock records aside, which
// move at once) keep stored values and the tree owes them a shift, added in
// one walk when a step needs the times themselves. The merges compare
// stored times plus the owed shift, and keep what they learn of the tree in
// a cache that holds while the stored times do. Only this type changes the
// tree until it hands it over, so no edit can leave the two behind. No time
// is moved or scaled out of the range it is written in: the tree keeps its
// largest time, so that a shift needs no walk to know it fits.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "merge/merge_cache.h"
#include "merge/source_record.h"
#include "merge/time_range.h"
#include "report/objet.h"

class merged_report {
 public:
  // by_time: the time variant, whose bodies merge item by item in time order.
  explicit merged_report(bool by_time) : by_time_(by_time) {}
  ~merged_report() { free_objet(tree_); }
  merged_report(const merged_report&) = delete;
  merged_report& operator=(const merged_report&) = delete;

  // Takes one shaped report: puts it and the tree on one time base, gives it
  // the source record of the ROD report it was read from, and merges it in.
  void add(objet* report, const report_source& source);
  // Gives every time its value; what the cache held goes with the owed shift.
  void settle();
  // The settled tree, which the caller takes; nothing is left here.
  objet* take_tree();

 private:
  // Alignment of a new report with the tree (align.cpp); a shift the report
  // takes waits in incoming_shift_ for move_onto_base.
  void align(objet* report, const std::vector<record*>& report_sy);
  void align_time_units(objet* report, const std::vector<record*>& merged_sy, const std::vector<record*>& report_sy);
  bool align_by_clock(objet* report, const std::vector<record*>& merged_sy, const std::vector<record*>& report_sy);
  bool align_by_rendezvous(objet* report);
  void shift_apart(objet* positive, objet* negative, int32_t d);
  std::vector<record*> merged_clocks(bool exact_keyword) const;
  void move_onto_base(objet* report);
  // Ends the run, naming where r was read, when r (of tree) is a record
  // whose time would leave its range.
  void refuse_out_of_range(objet* tree, const record* r) const;

  objet* tree_ = nullptr;
  const bool by_time_;
  uint32_t owed_ = 0;          // ticks every time field of the tree owes
  uint32_t incoming_shift_ = 0;  // ticks the report being added moves later
  int64_t largest_ = NO_TIME;  // the tree's largest time, owed shift included
  std::map<int32_t, std::string> rod_paths_;  // by report number
  bool body_holds_sy_ = false;  // else alignment passes the body over
  // The SY records of the tree's first and last sections, which only grow
  // by whole sections at their ends, in document order.
  std::vector<record*> first_clocks_, last_clocks_;
  merge_cache cache_;
};
