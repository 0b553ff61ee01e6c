#include "report/numbering.h"

#include "merge/shapes.h"
#include "report/report_errors.h"

enum { REPORT_NUMBER_KIND = 3, LINE_NUMBER_KIND = 2 };

objet* number_records(objet* report_number, objet* chain) {
  int32_t line = 0;
  for (objet* node = chain; node; node = node->next) {
    objet* record = node->item;
    objet* last = record;
    uint32_t nodes = 1;
    for (; last->next; last = last->next) ++nodes;
    record->item->count = nodes - 1;
    objet* number = copy_objet(report_number);
    number->kind = REPORT_NUMBER_KIND;
    objet* position = make_int(++line);
    position->kind = LINE_NUMBER_KIND;
    last->next = list2(number, position);
  }
  return chain;
}

static const objet* keyword_of(const objet* node) { return node->item->item; }

objet* check_co_record(objet* node) {
  objet* last = node;
  while (last->next && begins_with(keyword_of(last->next), KIND_CO)) last = last->next;
  if (!last->next) unexpected_end_of_report();
  const objet* follower = keyword_of(last->next);
  if (!begins_with(follower, KIND_DW) && !begins_with(follower, KIND_SN)) {
    for (objet* co = node;; co = co->next) {
      mark_for_removal(co);
      if (co == last) break;
    }
  }
  return last;
}

// Only top-level nodes carry marks here: dropping them needs no walk through
// the records.
static objet* drop_marked(objet* chain) {
  objet** link = &chain;
  while (objet* node = *link) {
    if (is_marked(node)) {
      *link = drop_first(node);
    } else {
      link = &node->next;
    }
  }
  return chain;
}

// The top-level node of a dropped record is marked, so that no empty node stays.
objet* filter_report(objet* chain, filter_variant variant) {
  for (objet* node = chain; node; node = node->next) {
    const objet* keyword = keyword_of(node);
    // The filter runs before classification: the letters tell the row.
    const uint32_t row = row_by_letters(keyword);
    const kind_facts* facts = row == NO_ROW ? nullptr : &keyword_table[row];
    if (facts && (variant == FILTER_A ? facts->default_filter_keeps : facts->time_filter_keeps)) continue;
    if (begins_with(keyword, KIND_CO)) {
      node = check_co_record(node);
    } else if (variant == FILTER_B || (facts && facts->default_filter_drops)) {
      mark_for_removal(node);
    }
  }
  return drop_marked(chain);
}
