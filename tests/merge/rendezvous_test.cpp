#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "merge/merge_cache.h"
#include "merge/rendezvous_marks.h"
#include "merge/tree_merge.h"
#include "support/report_text.h"

namespace {
std::string q(unsigned n) { return "\"" + std::to_string(n) + "\""; }

// The chain with item at its end (a new chain when there was none).
objet* push(objet* chain, tree_item item) { return chain ? (append(chain, list1(item)), chain) : list1(item); }

struct random_reports {
  std::mt19937 random{5};
  int report = 0;

  unsigned time() { return random() % 1000; }

  // Opening record, FT and RD records (names "a" to "c", some blocks none),
  // closing record; a DS block sometimes holds a group list instead.
  objet* block(const std::string& opening, const std::string& closing, int depth) {
    objet* head = list1(rec(opening, report));
    if (depth < 2 && opening[0] == 'D' && random() % 5 == 0) {
      append(head, list1(group_list(depth + 1)));
    } else {
      const bool with_rd = random() % 3;
      for (int i = 0, n = random() % 5; i < n; ++i) {
        const unsigned t = time();
        const std::string name(1, static_cast<char>('a' + random() % 3));
        const std::string rd = "RD \"" + name + "\" \"x\" \"0\" " + q(t) + " " + q(t);
        append(head, list1(rec(with_rd && random() % 2 ? rd : "FT " + q(t) + " " + q(t), report)));
      }
    }
    append(head, list1(rec(closing, report)));
    return head;
  }
  objet* xi_block(int depth) { return block("XI " + q(time()) + " \"0\" \"0\"", "YI " + q(time()) + " \"y\"", depth); }
  objet* ds_block(int depth) {
    const std::string name(1, static_cast<char>('m' + random() % 3));
    return block("DS \"" + name + "\" \"\" \"\" \"k\" " + q(time()) + " \"0\" " + q(time()),
                 "FS \"a\" \"0\" \"0\" \"d\" \"e\"", depth);
  }
  objet* group_list(int depth) {
    objet* groups = nullptr;
    for (int i = 0, n = 1 + random() % 3; i < n; ++i) {
      objet* group = random() % 4 ? list1(xi_block(depth)) : nullptr;
      if (!group || random() % 2) group = push(group, ds_block(depth));
      groups = push(groups, group);
    }
    return groups;
  }
  // The time variant's body: blocks and records side by side.
  objet* timed_items() {
    objet* items = list1(xi_block(2));
    for (int i = 0, n = random() % 4; i < n; ++i) push(items, random() % 2 ? xi_block(2) : ds_block(2));
    return items;
  }
  objet* next(bool by_time) {
    ++report;
    objet* body = by_time ? timed_items() : list1(group_list(0));
    objet* tree = report_tree(rec("IT \"x\"", report), body, rec("PO \"x\"", report));
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
      objet* tree = nullptr;
      for (int i = 0; i < 6; ++i) {
        tree_merge merge(cache, 0);
        objet* report = reports.next(by_time);
        tree = by_time ? merge.merge_report_by_time(tree, report) : merge.merge_report(tree, report);
        std::vector<rd_ref> walked;
        cache.names().collect(body_of(tree), &walked);
        ASSERT_EQ(pairs(cache.merged_rendezvous(body_of(tree))), pairs(walked))
            << (by_time ? "by time" : "structural") << ", run " << run << ", report " << i;
      }
      free_objet(tree);
    }
  }
}
