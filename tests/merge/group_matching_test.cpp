#include <gtest/gtest.h>

#include "merge/tree_merge.h"
#include "support/random_groups.h"

// The group matching keeps an index of the target groups up to date as it
// merges a list; these runs compare it with an index made afresh for every
// incoming group, on random group lists.
namespace {
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
}  // namespace

TEST(GroupMatching, OneIndexKeptUpToDateMatchesAFreshIndexPerGroup) {
  random_groups random(11);
  for (int round = 0; round < 300; ++round) {
    random.report = 1;
    objet* target = random.group_list(0, 1 + random.pick(6));
    random.report = 2;
    objet* second = random.group_list(0, 1 + random.pick(6));
    objet* incoming = random.group_list(0, 1 + random.pick(6));
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
