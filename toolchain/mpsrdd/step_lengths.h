#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "run_time.h"

// How the lengths of test steps of two runs compare: as lengths of time
// where both merged ticks have a known length, else in ticks where both
// runs count the same ticks.
struct length_unit {
  bool in_time = false; // lengths in nanoseconds, else in ticks
  int64_t old_tick = 1, new_tick = 1; // in nanoseconds, or 1 for ticks
  int64_t least = 1; // the coarser tick: two lengths read on it may differ by one
};

std::optional<length_unit> length_unit_of(const merged_tick& old_tick, const merged_tick& new_tick);

// Ticks of a run in the unit, a change from one run's ticks to the other's;
// nothing where the numbers do not fit (a tick label may name a long tick).
std::optional<int64_t> in_unit(int64_t ticks, int64_t tick);
std::optional<int64_t> change_in_unit(int64_t old_ticks, int64_t new_ticks, const length_unit& unit);

// A step is slower or faster when its length changed by more than
// CHANGE_PERCENT of the old one and by more than one tick of the coarser
// run, which rounding alone can make.
const int64_t CHANGE_PERCENT = 10;
bool length_changed(int64_t old_length, int64_t new_length, const length_unit& unit);

// "2 850 ms", "12 ticks"; a change with its sign, "+300 ms", "−1 tick".
std::string length_text(int64_t length, const length_unit& unit);
std::string change_text(int64_t change, const length_unit& unit);
