#pragma once

#include "merge/merge_cache.h"
#include "report/objet.h"

// Merging two records of the same block kind: the target takes the incoming
// record's report-number tail (its cells from the given position on, cut off
// the incoming record) and one merged field.

enum field_rule { KEEP_SMALLER, KEEP_LARGER, FS_STATUS };

// Positions where the moved tails begin.
enum {
  OPENING_TAIL = 4,   // XI, DT, XE
  CLOSING_TAIL = 3,   // YI, YT, FE
  DS_TAIL = 8,
  FS_TAIL = 6,
};

void merge_records(objet* target, objet* incoming, int tail_position, int field, field_rule rule,
                   merge_cache* cache = nullptr);
// Whether a report number stands in the tail of record, at position start and
// every second position after it.
bool holds_report(objet* record, int start, const objet* report_number);
