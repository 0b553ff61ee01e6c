#include "merge/merged_report.h"

#include "merge/tree_merge.h"
#include "report/shapes.h"

void merged_report::align(tree_node* report, const report_survey& survey, const report_source& source) {
  if (alignment_.scales_tree(tree_, survey)) settle();
  alignment_.align(tree_, report, survey, [this](tree_node* joining) { return shared_rendezvous(joining); },
                   source.report_number, source.rod_path);
}

rendezvous_match merged_report::shared_rendezvous(tree_node* report) {
  rendezvous_names& names = cache_.names();
  std::vector<rd_ref> report_rd;
  names.collect(body_of(report), &report_rd);
  if (report_rd.empty()) return {};
  if (const rendezvous_index* merged = cache_.merged_rendezvous_by_name(body_of(tree_)))
    return match_rendezvous(*merged, report_rd, alignment_.owed());
  // Reading the tree's list numbers the names it adds: the count comes after.
  const std::vector<rd_ref>& merged_rd = cache_.merged_rendezvous(body_of(tree_));
  const rendezvous_match match = match_rendezvous(merged_rd, report_rd, names.count(), alignment_.owed());
  cache_.done_with_rendezvous();
  return match;
}

void merged_report::merge(tree_node* report) {
  tree_merge merge(cache_, alignment_.owed());
  tree_ = by_time_ ? merge.merge_report_by_time(tree_, report) : merge.merge_report(tree_, report);
}

void merged_report::settle() {
  alignment_.settle(tree_);
  cache_ = merge_cache{};
}

owing_tree merged_report::take_tree() {
  const owing_tree taken{tree_, alignment_.owed()};
  cache_ = merge_cache{};
  alignment_ = alignment{};
  tree_ = nullptr;
  return taken;
}
