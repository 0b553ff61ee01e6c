#include <gtest/gtest.h>

#include "cmdanalysis/sample_command.h"

using sample::analyse;
using sample::texts;
using strings = std::vector<std::string>;

TEST(CabValues, ListsCutAtUnescapedSeparators) {
  ASSERT_EQ(analyse({"a,b\\,c,,q,s\\t,"}), 0);
  EXPECT_EQ(texts(sample::input.values), (strings{"a", "b,c", ",q", "s\\t"}));
  EXPECT_EQ(positional_value(1, 2)->text, std::string("b,c"));
  // A leading separator is part of the value.
  ASSERT_EQ(analyse({",x"}), 0);
  EXPECT_EQ(texts(sample::input.values), (strings{",x"}));
  // An empty argument takes its parameter's turn but adds nothing.
  ASSERT_EQ(analyse({"a", ""}), 0);
  EXPECT_EQ(positional_value(2, 1), nullptr);
}

TEST(CabValues, LaterArgumentsFillTheNextParameters) {
  ASSERT_EQ(analyse({"a", "out"}), 0);
  EXPECT_EQ(texts(sample::input.values), (strings{"a"}));
  EXPECT_EQ(texts(sample::output.values), (strings{"out"}));
  // Digits are read as far as they go.
  ASSERT_EQ(analyse({"a", "-COUNT=42nd"}), 0);
  EXPECT_EQ(option_value(1, 1)->number, 42);
}

TEST(CabValues, AllowedValuesResolveToGbNames) {
  ASSERT_EQ(analyse({"a", "b1", "-SHAPE=carr"}), 0);
  EXPECT_EQ(texts(sample::shape_type.values), (strings{"SQUARE"}));
  EXPECT_EQ(sample::shapes[1].selected, 1);
  EXPECT_EQ(sample::shapes[2].selected, 0);
  // A value that begins with a full allowed name resolves to it.
  ASSERT_EQ(analyse({"a", "-SHAPE=ROUNDED"}), 0);
  EXPECT_EQ(texts(sample::shape_type.values), (strings{"ROUND"}));
}

TEST(CabValues, DefaultValueMadeWhateverTheState) {
  ASSERT_EQ(analyse({"a"}), 0);
  EXPECT_EQ(option_state("SHAPE"), 0);
  EXPECT_EQ(texts(sample::shape_type.values), (strings{"SPIRAL"}));
  EXPECT_EQ(sample::shapes[2].selected, 1);
}

// Refused combinations: refusals_test.
TEST(CabRules, SignedKindsOfEveryElement) {
  EXPECT_EQ(analyse({"a", "-VERIFY", "-NOVERBOSE"}), 0);
  EXPECT_EQ(analyse({"a", "b1", "-SHAPE=sq"}), 0);
}
