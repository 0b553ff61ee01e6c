#pragma once

// Copies of the few bytes a field holds.

#include <cstddef>
#include <cstring>

// Exactly n bytes, in two overlapping moves of a fixed size that the
// compiler makes inline, where a call to memcpy would cost more than the
// copy; longer texts go to memcpy.
inline void copy_short(char* to, const char* from, size_t n) {
  if (n > 16) {
    memcpy(to, from, n);
  } else if (n >= 8) {
    memcpy(to, from, 8);
    memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    memcpy(to, from, 4);
    memcpy(to + n - 4, from + n - 4, 4);
  } else {
    for (size_t i = 0; i < n; ++i) to[i] = from[i];
  }
}
