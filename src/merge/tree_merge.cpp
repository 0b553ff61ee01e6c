#include "merge/tree_merge.h"

#include "merge/tree_edits.h"
#include "report/shapes.h"

static objet* section_or_empty(objet* node) { return node ? node : new_node(); }

// The merged first and last sections grow at their ends with every report.
template <typename Merge_body>
static objet* merge_sections(objet* merged, objet* report, merge_cache& cache, Merge_body merge_body) {
  objet* first = section_or_empty(report);
  objet* body = section_or_empty(first->next);
  objet* last = section_or_empty(body->next);
  first->next = nullptr;
  body->next = nullptr;
  last->next = nullptr;
  if (!merged) {
    objet* head = list1(first);
    head->next = body;
    body->next = list1(last);
    return head;
  }
  objet* merged_body = merged->next;
  cache.append_tail(merged->item.list(), first);
  cache.append_tail(merged_body->next->item.list(), last);
  merge_body(merged_body, body);
  free_objet(body);
  return merged;
}

objet* tree_merge::merge_report(objet* merged, objet* report) {
  return merge_sections(merged, report, cache_,
                        [this](objet* merged_body, objet* body) { merge_body(merged_body, body); });
}

objet* tree_merge::merge_report_by_time(objet* merged, objet* report) {
  return merge_sections(merged, report, cache_,
                        [this](objet* merged_body, objet* body) { merge_body_by_time(merged_body, body); });
}

// Elements the group merge does not take are kept after the merged body's
// elements, in reading order, so no tester's record is lost.
void tree_merge::merge_body(objet* merged_body, objet* body) {
  objet* elements = body->item.list();
  if (!elements) return;
  objet* merged_elements = merged_body->item.list();
  if (!merged_elements) {
    merged_body->item = elements;
    body->item = nullptr;
    return;
  }
  objet* merged_groups = merged_elements->item.list();
  objet* groups = elements->item.list();
  if (merged_groups && groups && starts_with_block(merged_groups->item) && starts_with_block(groups->item)) {
    merge_groups(merged_groups, groups);
    objet* left_overs = elements->next;
    elements->next = nullptr;
    if (left_overs) append(merged_elements, left_overs);
    return;
  }
  append(merged_elements, elements);
  body->item = nullptr;
}

void tree_merge::merge_body_by_time(objet* merged_body, objet* body) {
  objet* elements = body->item.list();
  const std::vector<objet*> carriers = unlink_carriers(&elements, nullptr);
  body->item = elements;
  merged_body->item = cache_.insert_into_body(merged_body->item.list(), carriers, owed_);
}
