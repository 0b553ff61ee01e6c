#pragma once

// A search in a sorted array that starts from where the last one ended.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// What upper_bound over the whole of sorted gives, sought from hint outwards
// in steps that double: a few steps when the answer lies near hint, as the
// next of values that come nearly in order does; any hint gives the answer.
inline size_t upper_bound_near(const std::vector<int64_t>& sorted, int64_t value, size_t hint) {
  const size_t n = sorted.size();
  size_t low = 0, high = n;  // the answer lies in [low, high]
  if (hint < n && sorted[hint] <= value) {
    size_t step = 1;
    low = hint + 1;
    while (low + step - 1 < n && sorted[low + step - 1] <= value) {
      low += step;
      step *= 2;
    }
    high = std::min(n, low + step - 1);
  } else {
    size_t step = 1;
    high = std::min(hint, n);
    while (high >= step && sorted[high - step] > value) {
      high -= step;
      step *= 2;
    }
    low = high >= step ? high - step + 1 : 0;
  }
  return static_cast<size_t>(std::upper_bound(sorted.begin() + static_cast<std::ptrdiff_t>(low),
                                              sorted.begin() + static_cast<std::ptrdiff_t>(high), value) -
                             sorted.begin());
}
