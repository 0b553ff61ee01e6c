#include "util/byte_scan.h"

byte_scan::byte_scan(uint64_t values) : values_(values) {
#if defined(__SSE2__)
  if (values == 0 || __builtin_popcountll(values) > static_cast<int>(MOST_COMPARED)) return;
  for (uint64_t rest = values; rest; rest &= rest - 1)
    each_value_[compared_++] = _mm_set1_epi8(static_cast<char>(__builtin_ctzll(rest)));
#endif
}

size_t byte_scan::next(const uint8_t* bytes, size_t from, size_t end) const {
#if defined(__SSE2__)
  if (compared_) {
    for (; from + 16 <= end; from += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + from));
      __m128i found = _mm_cmpeq_epi8(block, each_value_[0]);
      for (size_t i = 1; i < compared_; ++i) found = _mm_or_si128(found, _mm_cmpeq_epi8(block, each_value_[i]));
      if (const int hits = _mm_movemask_epi8(found)) return from + static_cast<size_t>(__builtin_ctz(hits));
    }
  }
#endif
  while (from < end && !(values_ >> bytes[from] & 1)) ++from;
  return from;
}
