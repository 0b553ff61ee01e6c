#include "report/numbering.h"

#include "report/record_kinds.h"
#include "report/report_errors.h"

objet* number_records(int32_t report_number, objet* chain) {
  // A run has at most a thousand reports.
  if (report_number < 0 || report_number > UINT16_MAX) internal_report_error();
  int32_t line = 0;
  for (objet* node = chain; node; node = node->next)
    node->item.rec()->number(static_cast<uint16_t>(report_number), ++line);
  return chain;
}

static std::string_view keyword_of(const objet* node) { return node->item.rec()->keyword(); }

objet* check_co_record(objet* node) {
  objet* last = node;
  while (last->next && begins_with(keyword_of(last->next), KIND_CO)) last = last->next;
  if (!last->next) unexpected_end_of_report();
  const std::string_view follower = keyword_of(last->next);
  if (!begins_with(follower, KIND_DW) && !begins_with(follower, KIND_SN)) {
    for (objet* co = node;; co = co->next) {
      co->item.rec()->set(DROPPED_MARK);
      if (co == last) break;
    }
  }
  return last;
}

// Only records at the top carry marks here.
static objet* drop_marked(objet* chain) {
  objet** link = &chain;
  while (objet* node = *link) {
    if (node->item.rec()->has(DROPPED_MARK)) {
      *link = drop_first(node);
    } else {
      link = &node->next;
    }
  }
  return chain;
}

objet* filter_report(objet* chain, report_filter filter) {
  for (objet* node = chain; node; node = node->next) {
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
