#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment.h"

// The merged tick as a length of time, read from the merged clock's label.
struct merged_tick {
  int64_t ns = 0;  // 0: the label names no unit of time, times stay in ticks
  int digits = 3;  // of the second's fraction: as fine as the tick
  std::string label = "ticks";
};

// "ms", "10us", "1 s", "µs", "ns": the tick's length in nanoseconds.
std::optional<int64_t> label_nanoseconds(std::string_view label);

merged_tick merged_tick_of(const std::vector<clock_alignment>& clocks);

// A time or a span of merged ticks as h:mm:ss.mmm (more digits for a finer
// tick), or "1 234 ticks" when the tick has no known length.
std::string clock_text(int64_t ticks, const merged_tick& tick);

// A positive length of time in the largest unit that keeps it whole: "10 µs".
std::string length_text(int64_t ns);

// A tick's length said plainly: "1 tick = 10 µs", "1 tick = ms" when the
// label names no unit.
std::string tick_length_text(const clock_record& c);
