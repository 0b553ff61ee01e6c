#include "merge/merged_report.h"

#include "merge/report_survey.h"
#include "merge/tree_merge.h"

void merged_report::align(objet* report, const report_source& source) {
  alignment_.align(tree_, &cache_, report, survey_report(report), source.report_number, source.rod_path);
}

void merged_report::merge(objet* report) {
  tree_merge merge(cache_, alignment_.owed());
  tree_ = by_time_ ? merge.merge_report_by_time(tree_, report) : merge.merge_report(tree_, report);
}

void merged_report::settle() {
  alignment_.settle(tree_);
  cache_ = merge_cache{};
}

objet* merged_report::take_tree() {
  settle();
  alignment_ = alignment{};
  objet* tree = tree_;
  tree_ = nullptr;
  return tree;
}
