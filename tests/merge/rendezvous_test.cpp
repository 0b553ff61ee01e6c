#include <gtest/gtest.h>

#include <vector>

#include "merge/merge_cache.h"
#include "merge/rendezvous_marks.h"
#include "merge/tree_merge.h"
#include "support/random_groups.h"

namespace {
// Reports of random group lists, or in the time variant blocks side by side.
struct random_reports : random_groups {
  random_reports() : random_groups(5) { report = 0; }
  tree_node* timed_items() {
    tree_node* items = list1(xi_block(2));
    for (unsigned i = 0, n = pick(4); i < n; ++i) append(items, list1(pick(2) ? xi_block(2) : ds_block(2)));
    return items;
  }
  tree_node* next(bool by_time) {
    ++report;
    tree_node* body = by_time ? timed_items() : list1(group_list(0));
    tree_node* tree = report_tree(rec("IT \"x\"", report), body, rec("PO \"x\"", report));
    mark_blocks_without_rd(tree);
    return tree;
  }
};

std::vector<std::pair<record*, uint32_t>> pairs(const std::vector<rd_ref>& refs) {
  std::vector<std::pair<record*, uint32_t>> out;
  for (const rd_ref& ref : refs) out.emplace_back(ref.rd, ref.name);
  return out;
}
}  // namespace

// The merged tree's RD records read through the orders the merges keep are
// those a walk over the whole tree finds, in the same order, report after
// report: the orders follow every insertion, and lists merged otherwise are
// read again.
TEST(MergedRendezvous, KeptOrdersGiveWhatAWalkOfTheTreeFinds) {
  for (bool by_time : {false, true}) {
    random_reports reports;
    for (int run = 0; run < 40; ++run) {
      merge_cache cache;
      tree_node* tree = nullptr;
      for (int i = 0; i < 6; ++i) {
        tree_merge merge(cache, 0);
        tree_node* report = reports.next(by_time);
        tree = by_time ? merge.merge_report_by_time(tree, report) : merge.merge_report(tree, report);
        std::vector<rd_ref> walked;
        cache.names().collect(body_of(tree), &walked);
        ASSERT_EQ(pairs(cache.merged_rendezvous(body_of(tree))), pairs(walked))
            << (by_time ? "by time" : "structural") << ", run " << run << ", report " << i;
      }
      free_tree(tree);
    }
  }
}
