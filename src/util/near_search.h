#pragma once

// A search in a sorted array that starts from where the last one ended.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// What upper_bound over sorted's entries from first to end gives
// (later(value, entry) telling value < entry), sought from hint outwards in
// steps that double: a few steps when the answer lies near hint, as the
// next of values that come nearly in order does; any hint gives the answer.
template <typename T, typename Later = std::less<T>>
size_t upper_bound_near(const std::vector<T>& sorted, const T& value, size_t hint, size_t first = 0,
                        size_t end = SIZE_MAX, Later later = Later{}) {
  const size_t n = std::min(end, sorted.size());
  size_t low = first, high = n;  // the answer lies in [low, high]
  hint = std::max(hint, first);
  if (hint < n && !later(value, sorted[hint])) {
    size_t step = 1;
    low = hint + 1;
    while (low + step - 1 < n && !later(value, sorted[low + step - 1])) {
      low += step;
      step *= 2;
    }
    high = std::min(n, low + step - 1);
  } else {
    size_t step = 1;
    high = std::min(hint, n);
    while (high >= first + step && later(value, sorted[high - step])) {
      high -= step;
      step *= 2;
    }
    low = high >= first + step ? high - step + 1 : first;
  }
  return static_cast<size_t>(std::upper_bound(sorted.begin() + static_cast<std::ptrdiff_t>(low),
                                              sorted.begin() + static_cast<std::ptrdiff_t>(high), value, later) -
                             sorted.begin());
}
