#include <gtest/gtest.h>

#include "merge/tree_merge.h"
#include "support/random_groups.h"

// The group matching keeps an index of the target groups up to date as it
// merges a list; these runs compare it with an index made afresh for every
// incoming group, on random group lists.
namespace {
// A copy sharing nothing with the tree: its records copied, their marks and
// numbers kept.
tree_node* copy_tree(tree_node* chain) {
  tree_node* head = nullptr;
  tree_node** link = &head;
  for (tree_node* node = chain; node; node = node->next) {
    tree_item item = node->item;
    if (record* r = item.rec()) item = copy_record(*r, r->keyword());
    if (tree_node* list = item.list()) item = copy_tree(list);
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
    tree_node* target = random.group_list(0, 1 + random.pick(6));
    random.report = 2;
    tree_node* second = random.group_list(0, 1 + random.pick(6));
    tree_node* incoming = random.group_list(0, 1 + random.pick(6));
    merge_cache first_cache;
    tree_merge(first_cache, 0).merge_groups(target, second);
    tree_node* expected = copy_tree(target);
    tree_node* expected_incoming = copy_tree(incoming);
    merge_cache cache;
    tree_merge(cache, 0).merge_groups(target, incoming);
    for (tree_node* node = expected_incoming; node; node = node->next) {
      tree_node* one = list1(node->item);
      node->item = nullptr;
      merge_cache fresh;
      tree_merge(fresh, 0).merge_groups(expected, one);
      free_tree(one);
    }
    ASSERT_EQ(shape(target) + record_lines(target), shape(expected) + record_lines(expected)) << round;
    for (tree_node* list : {target, second, incoming, expected, expected_incoming}) free_tree(list);
  }
}
