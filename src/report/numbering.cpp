#include "report/numbering.h"

#include "merge/classify.h"
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

static const char* const table_a[] = {
    "RE", "SC", "IT", "DE", "PR", "PE", "CF", "SY", "PO", "RU", "XX", "YT", "DB", "BC",
    "BF", "XI", "DS", "FS", "DW", "DX", "YI", "CH", "EV", "DT", "XE", "FE", "ER", "RD",
    "EX", "IE", "SN", "FT", "TN", "TF", "FB", "DA", "PA", "PP", "PQ", "IC", "ID", nullptr,
};
static const char* const table_b[] = {
    "RE", "SC", "IT", "DE", "PR", "PE", "CF", "SY", "PO", "RU", "XX", "DB", "BC", "BF", "DW", "DX",
    "CH", "EV", "ER", "RD", "EX", "IE", "SN", "FT", "TN", "TF", "FB", "DA", "PA", "PP", "PQ", "IC",
    "ID", nullptr,
};
static const char* const dropped_by_a[] = {"PT", "DP", "FP", "SE", "UN", nullptr};

static bool keyword_in_table(const objet* keyword, const char* const* table) {
  for (; *table; ++table) {
    if (keyword_is(keyword, *table)) return true;
  }
  return false;
}

static const objet* keyword_of(const objet* node) { return node->item->item; }

objet* check_co_record(objet* node) {
  objet* last = node;
  while (last->next && is_co(keyword_of(last->next))) last = last->next;
  if (!last->next) unexpected_end_of_report();
  const objet* follower = keyword_of(last->next);
  if (!is_dw(follower) && !is_sn(follower)) {
    for (objet* co = node;; co = co->next) {
      mark_for_removal(co);
      if (co == last) break;
    }
  }
  return last;
}

// Only top-level nodes carry marks here: dropping them needs no walk through
// the records, which compact would make.
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
  const char* const* table = variant == FILTER_A ? table_a : table_b;
  for (objet* node = chain; node; node = node->next) {
    const objet* keyword = keyword_of(node);
    if (keyword_in_table(keyword, table)) continue;
    if (is_co(keyword)) {
      node = check_co_record(node);
    } else if (variant == FILTER_B || keyword_in_table(keyword, dropped_by_a)) {
      mark_for_removal(node);
    }
  }
  return drop_marked(chain);
}
