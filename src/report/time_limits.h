#pragma once

// Times are the signed 32-bit values the conversion makes. Every step that
// makes a time (reading, the FW copy, scaling, shifting, the alignment's
// differences) takes its arithmetic exactly and refuses a result outside
// that range rather than write it wrapped: a wrapped time is merged out of
// place and nothing says so.

#include <cstdint>

#include "report/record.h"

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

// Ends the run ("TIMERANGE", status 7) naming the ROD report and the line.
[[noreturn]] void refuse_time_out_of_range(const char* rod_path, int32_t line);
// The same for a record read from that report, named by its own line.
[[noreturn]] void refuse_time_of(const char* rod_path, const record& read);
