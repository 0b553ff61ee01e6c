#include "merge/merged_report.h"

#include <algorithm>

#include "merge/report_survey.h"
#include "merge/source_record.h"
#include "merge/time_shift.h"
#include "merge/tree_merge.h"
#include "report/record_walk.h"
#include "report/shapes.h"

void merged_report::add(objet* report, const report_source& source) {
  rod_paths_[source.report_number] = source.rod_path;
  const report_survey survey = survey_report(report);
  incoming_shift_ = 0;
  align(report, survey.clocks);
  move_onto_base(report);
  postprocess_report(report, source);
  body_holds_sy_ |= survey.body_has_clock;
  first_clocks_.insert(first_clocks_.end(), survey.first_clocks.begin(), survey.first_clocks.end());
  last_clocks_.insert(last_clocks_.end(), survey.last_clocks.begin(), survey.last_clocks.end());
  tree_merge merge(cache_, owed_);
  tree_ = by_time_ ? merge.merge_report_by_time(tree_, report) : merge.merge_report(tree_, report);
}

// One walk for what used to take four: the shift alignment gave the report
// (its clocks borrowing whole units), its range checked record by record;
// its largest time, which the tree's takes; and the shift the tree owes,
// taken off, since the tree's own times hold stored values.
void merged_report::move_onto_base(objet* report) {
  const uint32_t d = incoming_shift_;
  auto visit = [&](objet* holder) {
    record* r = holder->item.rec();
    if (r->kind() == KIND_SY) {
      if (d) shift_record(r, d);
      return false;
    }
    const uint32_t position = shifted_time_field(*r);
    if (!position) return false;
    const int32_t time = r->at(position).number;
    if (d && !in_time_range(int64_t{time} + d)) refuse_out_of_range(report, r);
    const uint32_t moved = static_cast<uint32_t>(time) + d;
    largest_ = std::max<int64_t>(largest_, static_cast<int32_t>(moved));
    r->set_number(position, static_cast<int32_t>(moved - owed_));
    return false;
  };
  walk_records(report, visit);
}

void merged_report::refuse_out_of_range(objet* tree, const record* r) const {
  if (!r) return;
  const read_place place = place_in(tree, r);
  const auto path = rod_paths_.find(place.report_number);
  refuse_time_out_of_range(path != rod_paths_.end() ? path->second.c_str() : "", place.line);
}

void merged_report::settle() {
  move_time_fields(tree_, owed_);
  owed_ = 0;
  cache_ = merge_cache{};
}

objet* merged_report::take_tree() {
  settle();
  first_clocks_.clear();
  last_clocks_.clear();
  objet* tree = tree_;
  tree_ = nullptr;
  return tree;
}
