#pragma once

// The merged tree's time base as reports join it. Aligning a report with
// the tree may move the tree's time origin, once per report; instead of
// walking every record merged so far each time (a run would be quadratic
// in its testers), the tree moves its clock (SY) records at once and owes
// its other time fields the shift: a stored time plus the owed shift is the
// time. A report joining takes stored values too, less the owed shift. The
// alignment owns that shift, the tree's largest time (so that a shift needs
// no walk to know it keeps times in range), the tree's clock records and
// where its reports were read.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <functional>
#include "merge/rendezvous_index.h"
#include "merge/report_survey.h"
#include "merge/rendezvous_names.h"
#include "merge/time_range.h"
#include "report/tree_node.h"

// The rendezvous both lists of RD records hold, matched by name in order:
// how many, the exact sum of their matched times' differences (the report's
// less the tree's) and the report's first matched record.
struct rendezvous_match {
  uint32_t count = 0;
  int64_t sum = 0;
  const record* first = nullptr;
};
// The rendezvous a report shares with the tree, matched: the tree's merges
// keep both lists.
using rendezvous_matcher = std::function<rendezvous_match(tree_node* report)>;

class alignment {
 public:
  // The ticks every stored time of the tree lags the time it stands for.
  uint32_t owed() const { return owed_; }

  // Whether aligning the report scales the tree, whose tick is the coarser:
  // the tree's times must be settled first.
  bool scales_tree(tree_node* tree, const report_survey& survey) const;
  // Puts a new report and the tree on one time base: tick lengths first (the
  // coarser is scaled), then the time origin, by the clocks when both have
  // the same, else by the rendezvous they share (as shared matches them),
  // else by their first records, the later of which the other moves to.
  // Then moves the report's times onto the base, and its clocks join the
  // tree's. rod_path names the report in messages.
  void align(tree_node* tree, tree_node* report, const report_survey& survey, const rendezvous_matcher& shared,
             int32_t report_number, const char* rod_path);
  // Gives every time field of tree its value: the owed shift is paid.
  void settle(tree_node* tree);

 private:
  void align_time_units(tree_node* tree, tree_node* report, const std::vector<record*>& merged_sy,
                        const std::vector<record*>& report_sy);
  bool align_by_clock(tree_node* tree, tree_node* report, const std::vector<record*>& merged_sy,
                      const std::vector<record*>& report_sy);
  bool align_by_rendezvous(tree_node* tree, tree_node* report, const rendezvous_matcher& shared);
  void shift_apart(tree_node* tree, tree_node* positive, tree_node* negative, int64_t d, const record* source);
  void move_onto_base(tree_node* report);
  std::vector<record*> merged_clocks(tree_node* tree, bool exact_keyword) const;
  const record* first_merged_clock(tree_node* tree) const;
  // Ends the run, naming where r was read, when r (of tree) is a record
  // whose time would leave its range.
  void refuse_out_of_range(tree_node* tree, const record* r) const;

  uint32_t owed_ = 0;
  uint32_t report_shift_ = 0;  // ticks the report being aligned moves later
  int64_t largest_ = NO_TIME;  // the tree's largest time, owed shift included
  std::map<int32_t, std::string> rod_paths_;  // by report number
  bool body_has_clock_ = false;               // else the tree's body is passed over
  // The SY records of the tree's first and last sections, which only grow
  // by whole sections at their ends, in document order.
  std::vector<record*> first_clocks_, last_clocks_;
};

// names: how many names the run has numbered; owed: the shift the tree's
// stored times owe.
rendezvous_match match_rendezvous(const std::vector<rd_ref>& merged_rd, const std::vector<rd_ref>& report_rd,
                                  uint32_t names, uint32_t owed);
// The same, the tree's RD records kept by name.
rendezvous_match match_rendezvous(const rendezvous_index& merged, const std::vector<rd_ref>& report_rd,
                                  uint32_t owed);
// The node of the body's first record, or of its first empty item;
// "UNEXPTEOF" when the tree has no body section.
tree_node* first_record(tree_node* tree);
