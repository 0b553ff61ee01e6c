// The merge of a list of groups into the merged groups: each incoming group
// goes into the target group its index matches, or takes a place of its own.

#include <vector>

#include "merge/group_index.h"
#include "merge/merge_cache.h"
#include "merge/tree_merge.h"

namespace {
// One group list being merged. A group whose DS block holds inner group
// lists waits, half merged, while they are merged above it on the stack:
// the merge takes a stack of its own, not a call per nesting level, and
// still works in the order of nested calls.
struct list_merge {
  group_index* index;
  tree_node* node;             // the incoming node at hand
  target_entry* waiting;   // its target while its group waits
};
}  // namespace

static list_merge open_list(merge_cache& cache, tree_node* target, tree_node* incoming) {
  group_index* index = &cache.index_of(target);
  if (!index->is_open()) index->open(target, cache);
  return {index, incoming, nullptr};
}

void tree_merge::merge_groups(tree_node* target, tree_node* incoming) {
  std::vector<list_merge> stack{open_list(cache_, target, incoming)};
  while (!stack.empty()) {
    list_merge& level = stack.back();
    tree_node* node = level.node;
    if (level.waiting) {
      merge_group_tail(level.waiting->group, node->item.list());
      level.index->merged(level.waiting, cache_);
      level.waiting = nullptr;
      level.node = node->next;
      continue;
    }
    if (!node) {
      stack.pop_back();
      continue;
    }
    target_entry* entry = node->item ? level.index->match(node, cache_) : nullptr;
    if (!entry) {
      level.node = node->next;
      continue;
    }
    nested_lists nested;
    merge_group_head(entry->group, node->item.list(), &nested);
    level.waiting = entry;
    if (nested.target) stack.push_back(open_list(cache_, nested.target, nested.incoming));
  }
}
