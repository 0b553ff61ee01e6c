#include <gtest/gtest.h>

#include <cstdlib>

#include "cmdanalysis/sample_command.h"

using sample::analyse;

// The hidden-option line takes the rest of the usage text with it: '.' also
// crosses line ends and '*' is greedy.
TEST(CabErrorLine, HiddenUsageLinesCutToTheEnd) {
  cab_reset(&sample::command, sample::rules_init);
  testing::internal::CaptureStderr();
  cab_error(6, "W");
  cab_error(17, "W");
  cab_error(20, nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "MIRVA ProbeSuite Command analysis : Unknown option, W\nUsage SAMPLE:\n\t<input>[,input] [output]\n\n"
            "MIRVA ProbeSuite Command analysis : File not found W\n"
            "MIRVA ProbeSuite Command analysis : Internal error, bad option name\n");
}

// The user's word cannot steer the terminal or split the line.
TEST(CabErrorLine, ControlCharactersOfTheWordShownEscaped) {
  cab_reset(&sample::command, sample::rules_init);
  testing::internal::CaptureStderr();
  cab_error(17, "a\x1b[2K\rb\n\x7f\xff");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "MIRVA ProbeSuite Command analysis : File not found a\\x1b[2K\\rb\\n\\x7f\xff\n");
}

// "=" alone is an ordinary positional value.
TEST(CabErrorLine, EqualSignAloneIsAValue) {
  ASSERT_EQ(analyse({"="}), 0);
  EXPECT_EQ(positional_value(1, 1)->text, std::string("="));
}

static int allocations_left = 0;
static void* failing_malloc(size_t size) { return allocations_left-- > 0 ? malloc(size) : nullptr; }

TEST(CabErrorLine, AllocationFailureEndsTheAnalysisQuietly) {
  void* (*real_malloc)(size_t) = cab_malloc;
  cab_malloc = failing_malloc;
  // The argument copy fails, then its value node, then the default value of SHAPE.
  for (int succeeding : {0, 1, 2}) {
    allocations_left = succeeding;
    std::string error;
    EXPECT_EQ(analyse({"a"}, &error), -1) << succeeding;
    EXPECT_EQ(error, "MIRVA ProbeSuite Command analysis: No memory left");
  }
  cab_malloc = real_malloc;
  testing::internal::CaptureStderr();
  EXPECT_EQ(cab_alloc(0), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
