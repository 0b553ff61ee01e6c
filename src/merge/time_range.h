#pragma once

// Times are compared as unsigned 32-bit values but written signed: a time
// that a finer tick (which multiplies fields) or a new time origin (which
// adds to time fields) would take outside the signed 32-bit range would be
// written wrapped and merged out of place. These checks work on exact
// values, before the change; the first record that would leave the range
// is named by where it was read.

#include <cstdint>
#include <optional>

#include "report/tree_node.h"
#include "report/time_limits.h"

// The largest time of a tree that has none.
constexpr int64_t NO_TIME = INT64_MIN;

// Whether moving every time d ticks later keeps largest in range.
bool shift_keeps_in_range(int64_t largest, uint32_t d);

// Where a record of tree was read: a record the program made (a time point)
// is placed at the record read before it.
read_place place_in(tree_node* tree, const record* r);
// The first record of tree, in document order, that moving every time d
// ticks later (the tree owing owed) would take out of range, a clock's
// start included; nothing when none would.
const record* first_shifted_out(tree_node* tree, uint32_t owed, uint32_t d);
