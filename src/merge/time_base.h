#pragma once

#include <cstdint>

#include "merge/merge_cache.h"
#include "report/objet.h"

// The merged tree moves its time origin once per report, and a walk over every
// record merged so far each time would make a run quadratic in its testers.
// So its time fields (SY records aside, which move at once) keep stored values
// and the tree owes them `pending` ticks, added in one walk only when a step
// needs the times themselves; a merge compares stored times through
// key_time. The merges' cache holds stored times too, so it goes when the
// times settle.
struct time_base {
  uint32_t pending = 0;
  merge_cache cache;
};

// Adds d to a record's time field (none for SY records, which borrow whole
// units instead); the cell moved, or nothing.
objet* move_time_field(objet* record, uint32_t d);
// Applies the pending ticks to every record of merged.
void settle_times(objet* merged, time_base* base);
// Before report joins merged: its time fields take stored values too.
void join_time_base(objet* merged, time_base* base, objet* report);
