#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "util/near_search.h"

// Every value about the array's own, from every hint and past the end, with
// runs of equal values: the answer upper_bound gives over the whole array.
TEST(NearSearch, AgreesWithUpperBoundFromAnyHint) {
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    std::vector<int64_t> sorted(random() % 40);
    for (int64_t& value : sorted) value = static_cast<int64_t>(random() % 12) - 3;
    std::sort(sorted.begin(), sorted.end());
    for (int64_t value = -5; value <= 10; ++value) {
      const size_t expected = static_cast<size_t>(std::upper_bound(sorted.begin(), sorted.end(), value) - sorted.begin());
      for (size_t hint = 0; hint <= sorted.size() + 2; ++hint)
        ASSERT_EQ(upper_bound_near(sorted, value, hint), expected) << round << " " << value << " " << hint;
    }
  }
}

// Entries kept modulo 2^32 less an offset, read through a comparison that
// adds it back, and a prefix before first that holds anything: the answer
// upper_bound gives over the entries from first on, in their own terms.
TEST(NearSearch, ReadsEntriesThroughTheComparisonFromFirstOn) {
  std::mt19937 random(9);
  for (int round = 0; round < 200; ++round) {
    const uint32_t moved = round % 2 ? 0xFFFFFFF0u : static_cast<uint32_t>(random());
    const auto later = [moved](uint32_t time, uint32_t entry) { return time < static_cast<uint32_t>(entry + moved); };
    const size_t first = random() % 4;
    std::vector<uint32_t> times(random() % 40);
    for (uint32_t& time : times) time = 20 + random() % 12;
    std::sort(times.begin(), times.end());
    std::vector<uint32_t> entries(first, static_cast<uint32_t>(random()));
    for (uint32_t time : times) entries.push_back(time - moved);
    for (uint32_t time = 17; time <= 34; ++time) {
      const size_t expected = first + static_cast<size_t>(std::upper_bound(times.begin(), times.end(), time) - times.begin());
      for (size_t hint = 0; hint <= entries.size() + 2; ++hint)
        ASSERT_EQ(upper_bound_near(entries, time, hint, first, entries.size(), later), expected)
            << round << " " << time << " " << hint;
    }
  }
}
