#include "merge/tree_merge.h"

#include "merge/tree_edits.h"
#include "report/shapes.h"

static tree_node* section_or_empty(tree_node* node) { return node ? node : new_node(); }

// The merged first and last sections grow at their ends with every report.
template <typename Merge_body>
static tree_node* merge_sections(tree_node* merged, tree_node* report, merge_cache& cache, Merge_body merge_body) {
  tree_node* first = section_or_empty(report);
  tree_node* body = section_or_empty(first->next);
  tree_node* last = section_or_empty(body->next);
  first->next = nullptr;
  body->next = nullptr;
  last->next = nullptr;
  if (!merged) {
    tree_node* head = list1(first);
    head->next = body;
    body->next = list1(last);
    return head;
  }
  tree_node* merged_body = merged->next;
  cache.append_tail(merged->item.list(), first);
  cache.append_tail(merged_body->next->item.list(), last);
  merge_body(merged_body, body);
  free_tree(body);
  return merged;
}

tree_node* tree_merge::merge_report(tree_node* merged, tree_node* report) {
  return merge_sections(merged, report, cache_,
                        [this](tree_node* merged_body, tree_node* body) { merge_body(merged_body, body); });
}

tree_node* tree_merge::merge_report_by_time(tree_node* merged, tree_node* report) {
  return merge_sections(merged, report, cache_,
                        [this](tree_node* merged_body, tree_node* body) { merge_body_by_time(merged_body, body); });
}

// Elements the group merge does not take are kept after the merged body's
// elements, in reading order, so no tester's record is lost.
void tree_merge::merge_body(tree_node* merged_body, tree_node* body) {
  tree_node* elements = body->item.list();
  if (!elements) return;
  tree_node* merged_elements = merged_body->item.list();
  if (!merged_elements) {
    merged_body->item = elements;
    body->item = nullptr;
    return;
  }
  tree_node* merged_groups = merged_elements->item.list();
  tree_node* groups = elements->item.list();
  if (merged_groups && groups && starts_with_block(merged_groups->item) && starts_with_block(groups->item)) {
    merge_groups(merged_groups, groups);
    tree_node* left_overs = elements->next;
    elements->next = nullptr;
    if (left_overs) append(merged_elements, left_overs);
    return;
  }
  append(merged_elements, elements);
  body->item = nullptr;
}

void tree_merge::merge_body_by_time(tree_node* merged_body, tree_node* body) {
  tree_node* elements = body->item.list();
  unlink_carriers(&elements, nullptr, &carriers_);
  body->item = elements;
  merged_body->item = cache_.insert_into_body(merged_body->item.list(), carriers_, owed_);
}
