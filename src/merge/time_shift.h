#pragma once

// The walks that change every time of a tree: a finer tick length scales
// them, a new time origin shifts them. Closing records keep the fixed time.

#include <cstdint>

#include "report/record_kinds.h"
#include "report/objet.h"

// Multiplies the times of tree by factor, up to the first record whose
// times it would take out of the signed 32-bit range, which it returns
// unscaled; nothing when all are scaled.
const record* scale_times(objet* tree, uint32_t factor);
// The fields a finer tick multiplies in a record (a clock's tick length is
// divided instead).
field_list scaled_fields(const record& r);
// The field a shift adds to: the record's own time field, when it holds a
// number (clock records and the fixed time have none); 0 when none.
uint32_t shifted_time_field(const record& r);
// Moves the time origin of a record d ticks earlier, keeping its absolute
// times; d is at most 2^31 (a negated signed 32-bit difference). A clock
// record borrows whole units so that its ticks reach d.
void shift_record(record* r, uint32_t d);
// Whole units a SY record borrows so that its ticks reach d.
uint32_t clock_borrow(uint32_t ticks, uint32_t ticks_per_unit, uint32_t d);
// Adds d to every time field of tree, clock records aside.
void move_time_fields(objet* tree, uint32_t d);
