#include <gtest/gtest.h>

#include "cmdline/program_command.h"

using program::analyse;
using program::error_line;
using program::options_text;
using program::settings;

TEST(PostproOptions, DefaultsWhenOnlyFilesAreGiven) {
  ASSERT_EQ(analyse({"a.rio"}), 1);
  EXPECT_STREQ(options_text, "  -RA=RA -VA=EVAL -LE=GB -COMMENT -LANDSCAPE -NOSUMMARY -ROD");
  EXPECT_EQ(settings.log, 0);
}

TEST(PostproOptions, CanonicalNamesWhateverWasWritten) {
  ASSERT_EQ(analyse({"-RA=t", "-va=noeval", "-LE=FR", "-NOC", "-PORTRAIT", "-SUM", "-NORO", "-LOG", "a"}), 1);
  EXPECT_STREQ(options_text, "  -RA=TEST -VA=NOEVAL -LE=GB -NOCOMMENT -PORTRAIT -SUMMARY -ROD -NORO");
  EXPECT_EQ(settings.log, 1);
  ASSERT_EQ(analyse({"-RA=TESTS", "-VA=COMBINE", "-LA", "-NOS", "-NOLOG", "-time", "a"}), 1);
  EXPECT_STREQ(options_text, "  -RA=TEST -VA=COMBINE -LE=GB -COMMENT -LANDSCAPE -NOSUMMARY -ROD");
  EXPECT_EQ(settings.log, 0);
  EXPECT_EQ(option_state("TIME"), 12);
  EXPECT_EQ(option_state("SUMMARY"), -10);
  ASSERT_EQ(analyse({"-ra=err", "a"}), 1);
  EXPECT_STREQ(options_text, "  -RA=ERR -VA=EVAL -LE=GB -COMMENT -LANDSCAPE -NOSUMMARY -ROD");
}

TEST(CommandErrors, NamesAndRepetitions) {
  std::string error;
  EXPECT_EQ(analyse({"-L", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Ambiguous option,", "L"));
  EXPECT_EQ(analyse({"-N", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Ambiguous option,", "N"));
  EXPECT_EQ(analyse({"-LOGX", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Unknown option,", "LOGX"));
  EXPECT_EQ(analyse({"a", "-TIME", "-TIME"}, &error), 0);
  EXPECT_EQ(error, error_line("An option can't be used twice,", "TIME"));
  EXPECT_EQ(analyse({"a", "-COMMENT", "-NOCOMMENT"}, &error), 0);
  EXPECT_EQ(error, error_line("An option can't be used twice,", "NOCOMMENT"));
  EXPECT_EQ(analyse({}, &error), 0);
  EXPECT_EQ(error, error_line("Argument missing,", "TDC_and_RIO_files"));
  EXPECT_EQ(settings.log, 0);
}

TEST(CommandErrors, Values) {
  std::string error;
  EXPECT_EQ(analyse({"-LE=F", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Ambiguous value of option,", "F"));
  EXPECT_EQ(analyse({"-LE=GBR", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Arg length too large,", "GBR"));
  EXPECT_EQ(analyse({"-RDD=a,b", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("List forbidden invalid option,", "RDD=a,b"));
  EXPECT_EQ(analyse({"-RDD", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Mandatory argument for this option,", "RDD"));
  EXPECT_EQ(analyse({"-RDD=", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Mandatory argument for this option,", "RDD="));
  EXPECT_EQ(analyse({std::string(1025, 'f')}, &error), 0);
  EXPECT_EQ(error, error_line("Arg length too large,", std::string(1025, 'f')));
}

TEST(CommandErrors, ExcludedPairs) {
  std::string error;
  EXPECT_EQ(analyse({"-PORTRAIT", "-LANDSCAPE", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Illegal combination of command elements,", "LANDSCAPE and PORTRAIT"));
  EXPECT_EQ(analyse({"-NOLOG", "-LOG", "a"}, &error), 0);
  EXPECT_EQ(error, error_line("Illegal combination of command elements,", "LOG and NOLOG"));
}

TEST(CommandErrors, StateAskedInLowerCase) {
  ASSERT_EQ(analyse({"a"}), 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(option_state("time"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "MIRVA ProbeSuite Command analysis : Internal error, bad option name time\n");
}
