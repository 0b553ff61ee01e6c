#include "merge/merge.h"

#include <vector>

#include "merge/classify.h"
#include "merge/merge_groups.h"
#include "merge/record_walk.h"
#include "merge/time_batch.h"

static objet* section_or_empty(objet* node) { return node ? node : new_node(); }

static bool holds_sy_record(objet* body) {
  auto is_sy = [](objet* holder) { return kind_of(holder->item) == KIND_SY; };
  return walk_records(body, is_sy);
}

// Alignment reads and moves every SY record of the merged tree for each new
// report; the mark spares it the walk over a body that holds none (no record
// of that kind, whatever follows its first two letters).
static void note_sy_records(objet* merged_body, objet* body) {
  if (holds_sy_record(body->item)) merged_body->flags &= static_cast<uint8_t>(~NO_SY_MARK);
}

template <typename Merge_body>
static objet* merge_sections(objet* merged, objet* report, Merge_body merge_body) {
  objet* first = section_or_empty(report);
  objet* body = section_or_empty(first->next);
  objet* last = section_or_empty(body->next);
  first->next = nullptr;
  body->next = nullptr;
  last->next = nullptr;
  if (!merged) {
    body->flags |= NO_SY_MARK;
    note_sy_records(body, body);
    objet* head = list1(first);
    head->next = body;
    body->next = list1(last);
    return head;
  }
  objet* merged_body = merged->next;
  append(merged->item, first);
  append(merged_body->next->item, last);
  note_sy_records(merged_body, body);
  merge_body(merged_body, body);
  free_objet(body);
  return merged;
}

// Elements the group merge does not take are kept after the merged body's
// elements, in reading order, so no tester's record is lost.
static void merge_bodies(objet* merged_body, objet* body, merge_cache* cache) {
  objet* elements = body->item;
  if (!elements) return;
  if (!merged_body->item) {
    merged_body->item = elements;
    body->item = nullptr;
    return;
  }
  objet* merged_groups = merged_body->item->item;
  objet* groups = elements->item;
  if (is_list(merged_groups) && is_list(groups) && starts_with_block(merged_groups->item) &&
      starts_with_block(groups->item)) {
    merge_groups(merged_groups, groups, cache);
    objet* left_overs = elements->next;
    elements->next = nullptr;
    if (left_overs) append(merged_body->item, left_overs);
    return;
  }
  append(merged_body->item, elements);
  body->item = nullptr;
}

static void merge_bodies_by_time(objet* merged_body, objet* body, merge_cache* cache) {
  std::vector<objet*> items;
  for (objet* node = body->item; is_list(node); node = node->next) {
    if (!node->item) continue;
    items.push_back(node->item);
    node->item = nullptr;
  }
  merged_body->item = insert_all_by_time(merged_body->item, items, nullptr, cache ? &cache->body_order : nullptr);
}

objet* merge_report(objet* merged, objet* report, merge_cache* cache) {
  return merge_sections(merged, report,
                        [cache](objet* merged_body, objet* body) { merge_bodies(merged_body, body, cache); });
}

objet* merge_report_by_time(objet* merged, objet* report, merge_cache* cache) {
  return merge_sections(merged, report,
                        [cache](objet* merged_body, objet* body) { merge_bodies_by_time(merged_body, body, cache); });
}
