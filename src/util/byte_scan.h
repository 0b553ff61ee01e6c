#pragma once

// The next byte of a few given values in a long array: passes over a
// report's top level look for one or two kinds among hundreds of thousands
// of entries, sixteen at a step where the machine compares vectors.

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class byte_scan {
 public:
  // values: a bit for each byte value looked for, all below 64.
  explicit byte_scan(uint64_t values);
  // The first of bytes[from, end) whose value is looked for, or end; every
  // byte is below 64.
  size_t next(const uint8_t* bytes, size_t from, size_t end) const;

 private:
  static constexpr size_t MOST_COMPARED = 4;  // more values are looked up one byte at a time

  uint64_t values_;
  size_t compared_ = 0;  // values compared sixteen bytes at a time; none when more than MOST_COMPARED
#if defined(__SSE2__)
  __m128i each_value_[MOST_COMPARED];
#endif
};
