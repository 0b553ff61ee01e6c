#include <gtest/gtest.h>

#include "cmdanalysis/sample_command.h"

using sample::analyse;
using strings = std::vector<std::string>;

// The values each parameter or option type holds after an accepted analysis
// (refused ones: refusals_test). Lists are cut at unescaped separators, a
// leading separator being part of the value; an empty argument takes its
// parameter's turn but adds nothing; allowed values resolve to their GB name,
// also from a value that begins with a full name, and the default value is
// made whatever the option's state.
TEST(CabValues, ValuesOfEachType) {
  const struct {
    strings words;
    const value_descriptor* type;
    strings values;
  } cases[] = {
      {{"a,b\\,c,,q,s\\t,"}, &sample::input, {"a", "b,c", ",q", "s\\t"}},
      {{",x"}, &sample::input, {",x"}},
      {{"a", ""}, &sample::output, {}},
      {{"a", "out"}, &sample::output, {"out"}},
      {{"a", "b1", "-SHAPE=carr"}, &sample::shape_type, {"SQUARE"}},
      {{"a", "-SHAPE=ROUNDED"}, &sample::shape_type, {"ROUND"}},
      {{"a"}, &sample::shape_type, {"SPIRAL"}},
      // Signed kinds of every element in the exclusion rules.
      {{"a", "-VERIFY", "-NOVERBOSE"}, &sample::input, {"a"}},
      {{"a", "b1", "-SHAPE=sq"}, &sample::shape_type, {"SQUARE"}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(analyse(c.words), 0) << c.words[0];
    EXPECT_EQ(sample::texts(c.type->values), c.values) << c.words[0];
  }
  EXPECT_EQ(sample::shapes[1].selected, 1);
  EXPECT_EQ(sample::shapes[2].selected, 0);
  ASSERT_EQ(analyse({"a,b\\,c"}), 0);
  EXPECT_EQ(positional_value(1, 2)->text, std::string("b,c"));
  EXPECT_EQ(option_state("SHAPE"), 0);
  EXPECT_EQ(sample::shapes[2].selected, 1);
  // Digits are read as far as they go.
  ASSERT_EQ(analyse({"a", "-COUNT=42nd"}), 0);
  EXPECT_EQ(option_value(1, 1)->number, 42);
}
