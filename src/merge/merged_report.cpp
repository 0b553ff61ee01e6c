#include "merge/merged_report.h"

#include <algorithm>

#include "merge/fields.h"
#include "merge/record_walk.h"
#include "merge/rendezvous_marks.h"
#include "merge/source_record.h"
#include "merge/time_shift.h"
#include "merge/tree_merge.h"

static bool holds_sy_record(objet* body) {
  auto is_sy = [](objet* holder) { return kind_of(holder->item) == KIND_SY; };
  return walk_records(body, is_sy);
}

// The SY records of a section node's item, as a walk of the merged tree
// meets them once the section has joined it.
static void add_clocks(objet* section, std::vector<objet*>* clocks) {
  auto take = [clocks](objet* record) {
    if (kind_of(record) == KIND_SY) clocks->push_back(record);
  };
  auto visit = [&take](objet* holder) {
    take(holder->item);
    return false;
  };
  objet* item = section ? section->item : nullptr;
  if (is_record(item))
    take(item);
  else if (is_list(item))
    walk_records(item, visit);
}

void merged_report::add(objet* report, const report_source& source) {
  rod_paths_[source.report_number] = source.rod_path;
  mark_blocks_without_rd(report);
  align(report);
  postprocess_report(report, source);
  largest_ = std::max(largest_, largest_time(report, 0));
  // The report's times take stored values too.
  move_time_fields(report, 0u - owed_);
  body_holds_sy_ |= holds_sy_record(body_of(report));
  objet* body = report ? report->next : nullptr;
  add_clocks(report, &first_clocks_);
  add_clocks(body ? body->next : nullptr, &last_clocks_);
  tree_merge merge(cache_, owed_);
  tree_ = by_time_ ? merge.merge_report_by_time(tree_, report) : merge.merge_report(tree_, report);
}

void merged_report::refuse_out_of_range(const std::optional<read_place>& place) const {
  if (!place) return;
  const auto path = rod_paths_.find(place->report_number);
  refuse_time_out_of_range(path != rod_paths_.end() ? path->second.c_str() : "", place->line);
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
