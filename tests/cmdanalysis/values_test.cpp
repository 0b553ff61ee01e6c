#include <gtest/gtest.h>

#include "cmdanalysis/sample_command.h"

using sample::analyse;
using sample::error_line;
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
  std::string error;
  EXPECT_EQ(analyse({"a", "out", "more"}, &error), -1);
  EXPECT_EQ(error, error_line("Too many arguments invalid argument,", "more"));
  EXPECT_EQ(analyse({"a", "o,p"}, &error), -1);
  EXPECT_EQ(error, error_line("List forbidden invalid argument,", "o,p"));
}

TEST(CabValues, MissingParameterNamesItsGbPlaceholder) {
  std::string error;
  EXPECT_EQ(analyse({}, &error), -1);
  EXPECT_EQ(error, error_line("Argument missing,", "input"));
  EXPECT_EQ(analyse({""}, &error), -1);  // an empty argument gives no value
  EXPECT_EQ(error, error_line("Argument missing,", "input"));
}

TEST(CabValues, LengthAndNumberBounds) {
  std::string error;
  EXPECT_EQ(analyse({"abcdefghi"}, &error), -1);
  EXPECT_EQ(error, error_line("Arg length too large,", "abcdefghi"));
  // Length counts the escape: the stored value is shorter.
  EXPECT_EQ(analyse({"abcdef\\,g"}, &error), -1);
  EXPECT_EQ(error, error_line("Arg length too large,", "abcdef\\,g"));
  EXPECT_EQ(analyse({"a", "o"}, &error), -1);
  EXPECT_EQ(error, error_line("Arg length too small,", "o"));
  EXPECT_EQ(analyse({"a", "-COUNT=0"}, &error), -1);
  EXPECT_EQ(error, error_line("Arg value too small,", "0"));
  EXPECT_EQ(analyse({"a", "-COUNT=100"}, &error), -1);
  EXPECT_EQ(error, error_line("Arg value too large,", "100"));
  EXPECT_EQ(analyse({"a", "-COUNT=99999999999999999999999"}, &error), -1);
  EXPECT_EQ(error, error_line("Arg value too large,", "99999999999999999999999"));
  EXPECT_EQ(analyse({"a", "-OFFSET=4,-6"}, &error), -1);
  EXPECT_EQ(error, error_line("Arg value too small,", "-6"));
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
  std::string error;
  EXPECT_EQ(analyse({"a", "-SHAPE=s"}, &error), -1);
  EXPECT_EQ(error, error_line("Ambiguous value of option,", "s"));
  EXPECT_EQ(analyse({"a", "-SHAPE=hexa"}, &error), -1);
  EXPECT_EQ(error, error_line("Unknown value of option,", "hexa"));
}

TEST(CabValues, DefaultValueMadeWhateverTheState) {
  ASSERT_EQ(analyse({"a"}), 0);
  EXPECT_EQ(option_state("SHAPE"), 0);
  EXPECT_EQ(texts(sample::shape_type.values), (strings{"SPIRAL"}));
  EXPECT_EQ(sample::shapes[2].selected, 1);
}

TEST(CabRules, SignedKindsOfEveryElement) {
  std::string error;
  EXPECT_EQ(analyse({"a", "-VERIFY", "-VERBOSE"}, &error), -1);
  EXPECT_EQ(error, error_line("Illegal combination of command elements,", "VERIFY and VERBOSE"));
  EXPECT_EQ(analyse({"a", "-VERIFY", "-NOVERBOSE"}), 0);
  // SQUARE without an output parameter breaks the second rule.
  EXPECT_EQ(analyse({"a", "-SHAPE=sq"}, &error), -1);
  EXPECT_EQ(error, error_line("Illegal combination of command elements,", "SQUARE and output"));
  EXPECT_EQ(analyse({"a", "b1", "-SHAPE=sq"}), 0);
}
