#pragma once

// Times are compared as unsigned 32-bit values but written signed: a time
// that a finer tick (which multiplies fields) or a new time origin (which
// adds to time fields) would take outside the signed 32-bit range would be
// written wrapped and merged out of place. These checks work on exact
// values, before the change; the first record that would leave the range
// is named by where it was read.

#include <cstdint>
#include <optional>

#include "report/objet.h"

// The largest time of a tree that has none.
constexpr int64_t NO_TIME = INT64_MIN;

// Whether moving every time d ticks later keeps largest in range.
bool shift_keeps_in_range(int64_t largest, uint32_t d);

// Whether a time is one the signed 32-bit range holds.
inline bool in_time_range(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

// Where a record was read: its report's number and its line in the ROD
// report, the header line being line 1.
struct read_place {
  int32_t report_number;
  int32_t line;
};

// Where the last record read stands, as a walk in document order passes
// records: a record the program made (a time point) is placed at the
// record read before it.
class read_places {
 public:
  void pass(const record& r);
  read_place last() const { return last_; }

 private:
  read_place last_{0, 0};
};

// Where a record of tree was read: a record the program made (a time point)
// is placed at the record read before it.
read_place place_in(objet* tree, const record* r);
// The first record of tree, in document order, that moving every time d
// ticks later (the tree owing owed) would take out of range; nothing when
// none would.
const record* first_shifted_out(objet* tree, uint32_t owed, uint32_t d);

// Ends the run ("TIMERANGE", status 7) naming the ROD report and the line.
[[noreturn]] void refuse_time_out_of_range(const char* rod_path, int32_t line);
