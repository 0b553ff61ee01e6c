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
