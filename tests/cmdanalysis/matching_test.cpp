#include <gtest/gtest.h>

#include "cmdanalysis/sample_command.h"

using sample::analyse;

// Names and separators are matched through whole analyses: prefixes here,
// names run past and escaped separators in refusals_test and values_test.
TEST(CabOptions, UniquePrefixInAnyCaseAndLanguage) {
  ASSERT_EQ(analyse({"in", "-verb", "-coun=7", "-shekl=marp", "-Decal=1"}), 0);
  EXPECT_EQ(option_state("VERBOSE"), 4);
  EXPECT_EQ(option_state("COUNT"), 1);
  EXPECT_EQ(option_value(1, 1)->number, 7);
  EXPECT_EQ(option_value(option_state("SHAPE"), 1)->text, std::string("SPIRAL"));
  EXPECT_EQ(option_state("OFFSET"), 2);
}

TEST(CabOptions, NegatedFormsAndDefaultStates) {
  ASSERT_EQ(analyse({"in", "-noverb", "-NOCOUL"}), 0);
  EXPECT_EQ(option_state("VERBOSE"), -4);
  EXPECT_EQ(option_state("COLOR"), -6);
  ASSERT_EQ(analyse({"in"}), 0);
  EXPECT_EQ(option_state("VERBOSE"), -4);  // negatable, not given
  EXPECT_EQ(option_state("COLOR"), 6);     // default on
  EXPECT_EQ(option_state("VERIFY"), 0);
  // Exact matches win over longer names they begin.
  EXPECT_EQ(analyse({"in", "-COMPTE=3"}), 0);
}

// A list type may be given again; its values add up.
TEST(CabOptions, ListOptionGivenAgain) {
  ASSERT_EQ(analyse({"in", "-OFFSET=1,-2", "-OFFSET=3", "-OFFSET="}), 0);
  EXPECT_EQ(option_value(2, 2)->number, -2);
  EXPECT_EQ(option_value(2, 3)->number, 3);
  EXPECT_EQ(option_value(2, 4), nullptr);
}

TEST(CabOptions, StateQueryIsExactAndCaseSensitive) {
  ASSERT_EQ(analyse({"in"}), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(option_state("count"), 0);
  EXPECT_EQ(option_state("COMPTE"), 0);  // only GB names are asked for
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "MIRVA ProbeSuite Command analysis : Internal error, bad option name count\n"
            "MIRVA ProbeSuite Command analysis : Internal error, bad option name COMPTE\n");
  EXPECT_EQ(option_value(0, 1), nullptr);
  EXPECT_EQ(option_value(-3, 1)->text, std::string("SPIRAL"));
  EXPECT_EQ(option_value(3, 0), nullptr);
  EXPECT_EQ(option_value(4, 1), nullptr);  // no value type
  EXPECT_EQ(positional_value(0, 1), nullptr);
  EXPECT_EQ(positional_value(3, 1), nullptr);
}
