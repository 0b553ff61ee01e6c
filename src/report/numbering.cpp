#include "report/numbering.h"

#include "report/record_kinds.h"
#include "report/report_errors.h"

uint16_t held_report_number(int32_t report_number) {
  // A run has at most a thousand reports.
  if (report_number < 0 || report_number > UINT16_MAX) internal_report_error();
  return static_cast<uint16_t>(report_number);
}

tree_node* number_records(int32_t report_number, tree_node* chain) {
  const uint16_t report = held_report_number(report_number);
  int32_t line = 0;
  for (tree_node* node = chain; node; node = node->next) node->item.rec()->number(report, ++line);
  return chain;
}

static std::string_view keyword_of(const tree_node* node) { return node->item.rec()->keyword(); }

tree_node* check_co_record(tree_node* node) {
  tree_node* last = node;
  while (last->next && begins_with(keyword_of(last->next), KIND_CO)) last = last->next;
  if (!last->next) unexpected_end_of_report();
  const std::string_view follower = keyword_of(last->next);
  if (!begins_with(follower, KIND_DW) && !begins_with(follower, KIND_SN)) {
    for (tree_node* co = node;; co = co->next) {
      co->item.rec()->set(DROPPED_MARK);
      if (co == last) break;
    }
  }
  return last;
}

// Only records at the top carry marks here.
static tree_node* drop_marked(tree_node* chain) {
  tree_node** link = &chain;
  while (tree_node* node = *link) {
    if (node->item.rec()->has(DROPPED_MARK)) {
      *link = drop_first(node);
    } else {
      link = &node->next;
    }
  }
  return chain;
}

tree_node* filter_report(tree_node* chain, report_filter filter) {
  for (tree_node* node = chain; node; node = node->next) {
    const std::string_view keyword = keyword_of(node);
    // The filter runs before classification: the letters tell the row.
    const uint32_t row = row_by_letters(keyword);
    const kind_facts* facts = row == NO_ROW ? nullptr : &keyword_table[row];
    const bool by_time = filter == report_filter::time_filter;
    if (facts && (facts->filters == kept_by::both || (!by_time && facts->filters == kept_by::default_filter)))
      continue;
    if (begins_with(keyword, KIND_CO)) {
      node = check_co_record(node);
    } else if (by_time || (facts && facts->filters == kept_by::neither)) {
      node->item.rec()->set(DROPPED_MARK);
    }
  }
  return drop_marked(chain);
}
