#include "merge/merged_report.h"

#include <algorithm>

#include "merge/rendezvous_marks.h"
#include "merge/source_record.h"
#include "merge/time_shift.h"
#include "merge/tree_merge.h"
#include "report/record_walk.h"
#include "report/shapes.h"

static bool holds_sy_record(objet* body) {
  auto is_sy = [](objet* holder) { return holder->item.rec()->kind() == KIND_SY; };
  return walk_records(body, is_sy);
}

// The SY records of a section node's item, as a walk of the merged tree
// meets them once the section has joined it.
static void add_clocks(objet* section, std::vector<record*>* clocks) {
  auto take = [clocks](record* r) {
    if (r->kind() == KIND_SY) clocks->push_back(r);
  };
  auto visit = [&take](objet* holder) {
    take(holder->item.rec());
    return false;
  };
  const tree_item item = section ? section->item : nullptr;
  if (record* r = item.rec())
    take(r);
  else if (objet* list = item.list())
    walk_records(list, visit);
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
