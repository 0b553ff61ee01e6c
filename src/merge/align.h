#pragma once

#include <cstdint>

#include "merge/time_base.h"
#include "report/objet.h"

// A new list whose items are the records of tree with that keyword, in
// document order (the records themselves stay in the tree).
objet* collect_records(objet* tree, objet* keyword_cell);
// Releases a list made by collect_records, not the records it points at.
void free_collection(objet* collection);

// Puts a new report and the reports merged so far on one time base, changing
// times in one of the two trees in place (merged's through base); nothing
// while merged is empty.
void align_reports(objet* merged, objet* report, time_base* base);

void scale_times(objet* tree, uint32_t factor);
// Moves the time origin of tree d ticks earlier, keeping absolute times;
// d is at most 2^31 (a negated signed 32-bit difference).
void shift_times(objet* tree, uint32_t d);
// Whole units a SY record borrows so that its ticks (field 3) reach d.
uint32_t clock_borrow(uint32_t ticks, uint32_t ticks_per_unit, uint32_t d);

void align_time_units(objet* merged, objet* report, objet* merged_sy, objet* report_sy, time_base* base);
bool align_by_clock(objet* merged, objet* report, objet* merged_sy, objet* report_sy, time_base* base);
bool align_by_rendezvous(objet* merged, objet* report, time_base* base);
// Mean difference of field 4 over the matched rendezvous, through count.
int32_t match_rendezvous(objet* merged_rd, objet* report_rd, uint32_t* count);
// The body's first record (a node whose item is no list); "UNEXPTEOF" when
// the tree has no body section.
objet* first_record(objet* tree);
