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

namespace {
// What the filter does with a record by its keyword and the row of its
// letters: keeps it, drops it, or (a CO record) leaves it to the record
// after its run. The filter runs before classification: the letters tell
// the row.
enum class filter_verdict { kept, dropped, by_follower };

filter_verdict verdict_of(std::string_view keyword, uint32_t row, report_filter filter) {
  const kind_facts* facts = row == NO_ROW ? nullptr : &keyword_table[row];
  const bool by_time = filter == report_filter::time_filter;
  if (facts && (facts->filters == kept_by::both || (!by_time && facts->filters == kept_by::default_filter)))
    return filter_verdict::kept;
  if (begins_with(keyword, KIND_CO)) return filter_verdict::by_follower;
  if (by_time || (facts && facts->filters == kept_by::neither)) return filter_verdict::dropped;
  return filter_verdict::kept;
}
}  // namespace

uint64_t rows_dropped_alone(report_filter filter) {
  uint64_t rows = 0;
  for (uint32_t row = 0; row <= KEYWORD_COUNT; ++row) {
    if (verdict_of(keyword_table[row].keyword, row, filter) == filter_verdict::dropped) rows |= uint64_t{1} << row;
  }
  if (verdict_of("", NO_ROW, filter) == filter_verdict::dropped) rows |= uint64_t{1} << 63;
  return rows;
}

tree_node* filter_report(tree_node* chain, report_filter filter) {
  for (tree_node* node = chain; node; node = node->next) {
    const std::string_view keyword = keyword_of(node);
    switch (verdict_of(keyword, row_by_letters(keyword), filter)) {
      case filter_verdict::kept:
        break;
      case filter_verdict::by_follower:
        node = check_co_record(node);
        break;
      case filter_verdict::dropped:
        node->item.rec()->set(DROPPED_MARK);
        break;
    }
  }
  return drop_marked(chain);
}
