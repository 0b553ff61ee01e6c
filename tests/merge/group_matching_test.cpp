#include <gtest/gtest.h>

#include <random>
#include <string>

#include "merge/tree_merge.h"
#include "support/report_text.h"

// The group matching keeps an index of the target groups up to date as it
// merges a list; these runs compare it with an index made afresh for every
// incoming group, on random group lists.
namespace {
std::string q(int n) { return "\"" + std::to_string(n) + "\""; }

// XI block, DS block (named a/b/c, field 4 k/m, start 0-4 or none, at times
// nested groups), DT block, in random combinations.
objet* random_group(std::mt19937& random, int report, int depth) {
  int t = static_cast<int>(random() % 100);
  objet* xi = chain({rec("XI " + q(t) + " \"0\" \"0\"", report), rec("YI " + q(t + 5) + " \"y\"", report)});
  std::string name = std::string(1, static_cast<char>('a' + random() % 3));
  std::string start = random() % 5 ? " " + q(static_cast<int>(random() % 5)) : " \"x\"";
  tree_item inner = depth == 0 && random() % 3 == 0
                     ? tree_item(chain({random_group(random, report, 1), random_group(random, report, 1)}))
                     : tree_item(rec("FT " + q(t + 2) + " " + q(t + 2), report));
  objet* ds = chain({rec("DS \"" + name + "\" \"\" \"\" \"" + (random() % 4 ? "k" : "m") + "\" " + q(t + 1) +
                             " \"0\"" + start, report),
                     inner, rec("FS \"a\" \"0\" \"0\" \"d\" \"e\"", report)});
  objet* dt = chain({rec("DT " + q(t + 3), report), rec("YT " + q(t + 4), report)});
  switch (random() % 5) {
    case 0: free_objet(ds); free_objet(dt); return chain({xi});
    case 1: free_objet(xi); free_objet(dt); return chain({ds});
    case 2: return chain({xi, ds, dt});
    default: free_objet(dt); return chain({xi, ds});
  }
}

// A copy sharing nothing with the tree: its records copied, their marks and
// numbers kept.
objet* copy_tree(objet* chain) {
  objet* head = nullptr;
  objet** link = &head;
  for (objet* node = chain; node; node = node->next) {
    tree_item item = node->item;
    if (record* r = item.rec()) item = copy_record(*r, r->keyword());
    if (objet* list = item.list()) item = copy_tree(list);
    *link = list1(item);
    link = &(*link)->next;
  }
  return head;
}

objet* random_list(std::mt19937& random, int report, int size) {
  objet* list = chain({random_group(random, report, 0)});
  for (int i = 1; i < size; ++i) append(list, list1(random_group(random, report, 0)));
  return list;
}
}  // namespace

TEST(GroupMatching, OneIndexKeptUpToDateMatchesAFreshIndexPerGroup) {
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    objet* target = random_list(random, 1, 1 + static_cast<int>(random() % 6));
    objet* second = random_list(random, 2, 1 + static_cast<int>(random() % 6));
    objet* incoming = random_list(random, 2, 1 + static_cast<int>(random() % 6));
    merge_cache first_cache;
    tree_merge(first_cache, 0).merge_groups(target, second);
    objet* expected = copy_tree(target);
    objet* expected_incoming = copy_tree(incoming);
    merge_cache cache;
    tree_merge(cache, 0).merge_groups(target, incoming);
    for (objet* node = expected_incoming; node; node = node->next) {
      objet* one = list1(node->item);
      node->item = nullptr;
      merge_cache fresh;
      tree_merge(fresh, 0).merge_groups(expected, one);
      free_objet(one);
    }
    ASSERT_EQ(shape(target) + record_lines(target), shape(expected) + record_lines(expected)) << round;
    for (objet* list : {target, second, incoming, expected, expected_incoming}) free_objet(list);
  }
}
