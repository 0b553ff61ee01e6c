#include "merge/merged_report.h"

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

void merged_report::add(objet* report, const char* rod_path, int32_t report_number) {
  mark_blocks_without_rd(report);
  align(report);
  postprocess_report(report, rod_path, report_number);
  // The report's times take stored values too.
  move_time_fields(report, 0u - owed_);
  body_holds_sy_ |= holds_sy_record(body_of(report));
  tree_merge merge(cache_, owed_);
  tree_ = by_time_ ? merge.merge_report_by_time(tree_, report) : merge.merge_report(tree_, report);
}

void merged_report::settle() {
  move_time_fields(tree_, owed_);
  owed_ = 0;
  cache_ = merge_cache{};
}

objet* merged_report::take_tree() {
  settle();
  objet* tree = tree_;
  tree_ = nullptr;
  return tree;
}
