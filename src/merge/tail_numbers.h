#pragma once

// The report numbers a merged record's tail holds, read once: the group
// matching asks whether a group holds a report for every group of every
// report, and a tail holds one number per report merged into it. It holds
// while the record's tail only grows at its end (merged end records take
// their tails that way) and the numbers read do not change.

#include <cstdint>
#include <vector>

#include "report/record.h"

class tail_numbers {
 public:
  // Whether the number stands in the tail of r, at position start and every
  // second position after it. Another record than the last asked about is
  // read from its start.
  bool holds(const record* r, uint32_t start, int32_t number);

 private:
  void read_on();

  const record* record_ = nullptr;
  uint32_t start_ = 0;
  uint32_t next_ = 0;          // the next position to read
  bool number_at_next_ = true;  // whether it is a number's position
  // Sorted: a tail holds one number per report merged into it, mostly in
  // the order they came, so each joins at or near the end; cleared, not made
  // anew, for the next record.
  std::vector<int32_t> numbers_;
};
