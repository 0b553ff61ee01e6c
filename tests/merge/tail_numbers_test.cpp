#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "merge/tail_numbers.h"

// A growing record of the numbers given, and one that hands it more.
static record* numbers(std::initializer_list<int32_t> values) {
  std::vector<field> fields;
  for (int32_t value : values) fields.push_back(field::of_number(value));
  return make_record("XI", fields, NO_KIND, true);
}

static void grow(record* r, std::initializer_list<int32_t> values) {
  record* more = numbers(values);
  more->hand_tail_to(r, 1);
  free_record(more);
}

// The tail starts at position 4; the cells between its numbers (positions
// 5, 7, ...) hold other values, which a question must not take for numbers.
TEST(TailNumbers, ReadsNumberPositionsOnlyAndWhatTheTailGrewSinceTheLastQuestion) {
  record* r = numbers({1, 2, 3, 10, 99});
  tail_numbers held;
  EXPECT_TRUE(held.holds(r, 4, 10));
  EXPECT_FALSE(held.holds(r, 4, 99));
  EXPECT_FALSE(held.holds(r, 4, 1));
  grow(r, {11, 12});
  EXPECT_TRUE(held.holds(r, 4, 11));
  EXPECT_FALSE(held.holds(r, 4, 12));
  grow(r, {13});
  EXPECT_TRUE(held.holds(r, 4, 13));
  EXPECT_TRUE(held.holds(r, 2, 2)) << "another start is read from it";
  EXPECT_FALSE(held.holds(r, 2, 3));

  // A record shorter than the start gains its tail later.
  record* short_record = numbers({1});
  EXPECT_FALSE(held.holds(short_record, 4, 7));
  grow(short_record, {2, 3, 7});
  EXPECT_TRUE(held.holds(short_record, 4, 7));
  EXPECT_FALSE(held.holds(short_record, 4, 13)) << "nothing of the other record's tail stays";
  free_record(r);
  free_record(short_record);
}
