#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "merge/time_order.h"
#include "merge/tree_merge.h"
#include "report/report_errors.h"
#include "support/process_trap.h"
#include "support/report_text.h"

namespace {
std::string q(int n) { return "\"" + std::to_string(n) + "\""; }

// XI block (time xi, closed at xi + 80) and DS block named `name`.
tree_node* group(int report, int xi, const char* name, int ds, int start, const char* status,
             int inner_time) {
  tree_node* xi_block = chain({rec("XI " + q(xi) + " \"0\" \"0\"", report, 1),
                           rec("FT " + q(xi + 1) + " " + q(xi + 1), report, 2),
                           rec("YI " + q(xi + 80) + " \"y\"", report, 3)});
  tree_node* ds_block = chain({rec(std::string("DS \"") + name + "\" \"\" \"\" \"k\" " + q(ds) + " \"0\" " + q(start), report, 4),
                           rec("FT " + q(inner_time) + " " + q(inner_time), report, 5),
                           rec(std::string("FS \"a\" \"0\" \"") + status + "\" \"d\" \"e\"", report, 6)});
  return chain({xi_block, ds_block});
}

// A report whose body holds the group list.
tree_node* grouped_report(std::initializer_list<tree_item> groups) {
  return report_tree(rec("IT \"x\""), chain({chain(groups)}), rec("PO \"x\""));
}


// Reports merged structurally into one tree, as a merged report would.
struct structural_merge {
  merge_cache cache;
  tree_node* tree = nullptr;
  tree_node* add(tree_node* report) { return tree = tree_merge(cache, 0).merge_report(tree, report); }
};

// One item at a time, before the first node of a greater key: what a batch
// insertion must give.
tree_node* insert_by_time(tree_node* list, tree_item item) {
  const auto key = order_key(item);
  if (!key) unexpected_end_of_report();
  const uint32_t value = key->value;
  auto after = [value](tree_node* node) {
    const auto other = order_key(node->item);
    return other && other->value > value;
  };
  if (!list) return list1(item);
  if (after(list)) return make_list(item, list);
  tree_node* node = list;
  while (node->next && !after(node->next)) node = node->next;
  node->next = make_list(item, node->next);
  return list;
}
}  // namespace

TEST(Merge, FsStatusRule) {
  const char* cases[][3] = {{"0", "2", "2"}, {"2", "1", "1"}, {"1", "2", "1"}, {"0", "3", "0"}};
  for (const auto& c : cases) {
    record* mine = rec(std::string("FS \"a\" \"0\" \"") + c[0] + "\" \"d\" \"e\"", 1);
    record* theirs = rec(std::string("FS \"a\" \"0\" \"") + c[1] + "\" \"d\" \"e\"", 2);
    merge_cache cache;
    tree_merge(cache, 0).merge_records(mine, theirs, facts_of(KIND_FS).merged);
    EXPECT_EQ(mine->at(3).text, std::string("\"") + c[2] + "\"") << c[0] << c[1];
    EXPECT_EQ(theirs->at(6).type, field_type::none);
    free_record(mine);
    free_record(theirs);
  }
}

TEST(Merge, UnmatchedGroupGoesBeforeTheFirstLaterStartWhileTheHeadNodeStays) {
  structural_merge merge;
  tree_node* merged = merge.add(grouped_report({group(1, 10, "a", 20, 500, "0", 30)}));
  tree_node* head = body_of(merged)->item.list();
  const tree_item first_group = head->item;
  merged = merge.add(grouped_report({group(2, 15, "b", 18, 100, "0", 22)}));
  ASSERT_EQ(body_of(merged)->item.list(), head);
  EXPECT_EQ(head->next->item, first_group);
  auto ds_name = [](tree_item group) { return group.list()->next->item.list()->item.rec()->at(1).text; };
  EXPECT_EQ(ds_name(head->item), "\"b\"");
  EXPECT_EQ(ds_name(first_group), "\"a\"");
  free_tree(merged);
}

TEST(Merge, DsBlockWithoutXiAnchorEndsTheRun) {
  tree_node* target = chain({chain({chain({rec("DT \"1\"", 1), rec("YT \"2\"", 1)})})});
  tree_node* incoming = group(2, 10, "n", 20, 5, "0", 30);
  tree_node* ds_only = chain({incoming->next});
  incoming->next = nullptr;
  free_tree(incoming);
  merge_cache cache;
  EXPECT_EQ(run_to_end([&] { tree_merge(cache, 0).merge_groups(target, ds_only); }), 7);
  free_tree(target);
  free_tree(ds_only);
}

// Items in any order: a few, many nearly in time order (each a few places
// from its own), and many in no order at all, which the insertion must not
// take as nearly ordered; by an order and by a walk.
TEST(Merge, BatchInsertionMatchesOneByOne) {
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    std::string list_text;
    std::vector<std::string> item_lines;
    const int kind = round % 3;
    int list_size = random() % 12, item_count = kind == 0 ? random() % 12 : 300;
    for (int i = 0; i < list_size; ++i)
      list_text += (random() % 4 ? "FT " + q(i) + " " + q(random() % 6) : "IT " + q(i)) + "\n";
    for (int i = 0; i < item_count; ++i) {
      const int time = kind == 1 ? i / 60 + static_cast<int>(random() % 3) : static_cast<int>(random() % 6);
      item_lines.push_back("FT " + q(100 + i) + " " + q(time));
    }

    tree_node* one_by_one = classified_records(list_text);
    tree_node* batch = classified_records(list_text);
    tree_node* walked = classified_records(list_text);
    std::vector<tree_node*> items, walked_items;
    for (const std::string& line : item_lines) {
      one_by_one = insert_by_time(one_by_one, rec(line));
      items.push_back(list1(rec(line)));
      walked_items.push_back(list1(rec(line)));
    }
    time_order order;
    batch = order.insert(batch, items, 0);
    EXPECT_EQ(record_lines(batch), record_lines(one_by_one)) << "round " << round;
    tree_node* last = nullptr;
    walked = insert_walking(walked, walked_items, 0, &last);
    EXPECT_EQ(record_lines(walked), record_lines(one_by_one)) << "round " << round;
    EXPECT_EQ(last, walked ? last_node(walked) : nullptr) << "round " << round;
    free_tree(batch);
    free_tree(one_by_one);
    free_tree(walked);
  }
}

// The RD records an order keeps over batches are those of its list in list
// order, however the items fall between the nodes that hold some: before
// them all, among them, after them, several into one gap; and by name, in
// the same order, when it keeps them by name too.
TEST(Merge, KeptOrderKeepsTheListsRdRecordsInOrder) {
  std::mt19937 random(5);
  auto line = [&random](int tag) {
    const std::string time = q(random() % 40);
    if (random() % 3) return "FT " + q(tag) + " " + time;
    return "RD \"r" + std::to_string(random() % 4) + "\" \"x\" \"0\" " + time + " " + time;
  };
  for (int round = 0; round < 100; ++round) {
    std::string list_text;
    for (int i = 0, n = random() % 8; i < n; ++i) list_text += line(i) + "\n";
    tree_node* list = classified_records(list_text);
    time_order order;
    if (round % 2) order.index_rendezvous();
    rendezvous_names names;
    // Some rounds put many items in one place, past what the labels between two records allow.
    const int batches = round % 10 == 1 ? 100 : 5;
    for (int batch = 0; batch < batches; ++batch) {
      std::vector<tree_node*> items;
      for (int i = 0, n = random() % 7; i < n; ++i)
        items.push_back(list1(rec(batches > 5 ? "RD \"r0\" \"x\" \"0\" \"7\" \"7\"" : line(100 * batch + i))));
      list = order.insert(list, items, 0, &names);
      if (!list) continue;
      std::vector<rd_ref> walked;
      names.collect(list, &walked);
      const std::vector<rd_ref>* kept = order.rendezvous(list);
      ASSERT_TRUE(kept);
      ASSERT_EQ(kept->size(), walked.size()) << "round " << round << " batch " << batch;
      for (size_t i = 0; i < walked.size(); ++i) {
        EXPECT_EQ((*kept)[i].rd, walked[i].rd) << "round " << round << " batch " << batch << " record " << i;
        EXPECT_EQ((*kept)[i].name, walked[i].name);
      }
      if (const rendezvous_index* by_name = order.rendezvous_by_name(list)) {
        for (uint32_t name = 0; name < names.count(); ++name) {
          std::vector<record*> named, indexed;
          for (const rd_ref& ref : walked)
            if (ref.name == name) named.push_back(ref.rd);
          for (auto next = by_name->first_after(name, 0); next; next = by_name->first_after(name, next->label))
            indexed.push_back(next->rd);
          ASSERT_EQ(indexed, named) << "round " << round << " batch " << batch << " name " << name;
        }
      }
    }
    free_tree(list);
  }
}

// An order kept over batches, while owed shifts change between them (and
// move keys across 2^32, or keys are the fixed time), places items as an
// order read afresh does.
TEST(Merge, KeptOrderFollowsOwedShifts) {
  std::mt19937 random(11);
  auto time = [&random]() {
    uint32_t base = random() % 2 ? 0xFFFFFF00u : 0u;
    return std::to_string(static_cast<int32_t>(base + random() % 200));
  };
  const uint32_t owed_shifts[] = {0u, 50u, 300u, 0xFFFFFF80u, 0x80000000u};
  for (int round = 0; round < 200; ++round) {
    std::string list_text;
    for (int i = 0, n = 1 + random() % 10; i < n; ++i)
      list_text += (random() % 8 ? "FT \"0\" \"" + time() + "\"" : std::string("YI \"0\"")) + "\n";
    tree_node* kept = classified_records(list_text);
    tree_node* fresh = classified_records(list_text);
    time_order order;
    for (int batch = 0; batch < 4; ++batch) {
      const uint32_t owed = owed_shifts[random() % 5];
      std::vector<tree_node*> kept_items;
      std::vector<tree_node*> fresh_items;
      for (int i = 0, n = random() % 5; i < n; ++i) {
        const std::string line = "FT " + q(batch) + " \"" + time() + "\"";
        kept_items.push_back(list1(rec(line)));
        fresh_items.push_back(list1(rec(line)));
      }
      kept = order.insert(kept, kept_items, owed);
      time_order fresh_order;
      fresh = fresh_order.insert(fresh, fresh_items, owed);
      EXPECT_EQ(record_lines(kept), record_lines(fresh)) << "round " << round << " batch " << batch;
    }
    free_tree(kept);
    free_tree(fresh);
  }
}
