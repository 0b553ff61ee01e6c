#include <gtest/gtest.h>

#include <initializer_list>

#include "merge/tail_numbers.h"

static objet* numbers_list(std::initializer_list<int32_t> values) {
  objet* head = nullptr;
  objet* last = nullptr;
  for (int32_t value : values) {
    objet* node = list1(make_long(value));
    (last ? last->next : head) = node;
    last = node;
  }
  return head;
}

// The tail starts at position 4; the cells between its numbers (positions
// 5, 7, ...) hold other values, which a question must not take for numbers.
TEST(TailNumbers, ReadsNumberPositionsOnlyAndWhatTheTailGrewSinceTheLastQuestion) {
  objet* record = append(list1(make_string("XI")), numbers_list({1, 2, 3, 10, 99}));
  tail_numbers numbers;
  EXPECT_TRUE(numbers.holds(record, 4, 10));
  EXPECT_FALSE(numbers.holds(record, 4, 99));
  EXPECT_FALSE(numbers.holds(record, 4, 1));
  append(record, numbers_list({11, 12}));
  EXPECT_TRUE(numbers.holds(record, 4, 11));
  EXPECT_FALSE(numbers.holds(record, 4, 12));
  append(record, numbers_list({13}));
  EXPECT_TRUE(numbers.holds(record, 4, 13));
  EXPECT_TRUE(numbers.holds(record, 2, 2)) << "another start is read from it";
  EXPECT_FALSE(numbers.holds(record, 2, 3));

  // A record shorter than the start gains its tail later.
  objet* short_record = append(list1(make_string("XI")), numbers_list({1}));
  EXPECT_FALSE(numbers.holds(short_record, 4, 7));
  append(short_record, numbers_list({2, 3, 7}));
  EXPECT_TRUE(numbers.holds(short_record, 4, 7));
  EXPECT_FALSE(numbers.holds(short_record, 4, 13)) << "nothing of the other record's tail stays";
  free_objet(record);
  free_objet(short_record);
}
