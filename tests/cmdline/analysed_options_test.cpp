#include <gtest/gtest.h>

#include "cmdline/program_command.h"
#include "support/process_trap.h"

using program::analyse;
using program::analysed;

TEST(AnalysedOptions, FilesTimeAndDestination) {
  ASSERT_EQ(analyse({"a.rio,b\\,c.tdc", "-TIME", "d.rio", "-RDD=out\\,x.rdd"}), 1);
  EXPECT_EQ(analysed->files, (std::vector<std::string>{"a.rio", "b,c.tdc", "d.rio"}));
  EXPECT_TRUE(analysed->time_variant);
  EXPECT_EQ(analysed->dest, "out,x.rdd");

  ASSERT_EQ(analyse({"a.rio"}), 1);
  EXPECT_EQ(analysed->files, std::vector<std::string>{"a.rio"});
  EXPECT_FALSE(analysed->time_variant);
  EXPECT_EQ(analysed->dest, std::nullopt);
}

static std::vector<std::string> file_words(int count) {
  std::vector<std::string> words;
  for (int n = 0; n < count; ++n) words.push_back("f" + std::to_string(n) + ".rio");
  return words;
}

TEST(AnalysedOptions, AtMostOneThousandFiles) {
  ASSERT_EQ(analyse(file_words(MAX_FILES)), 1);
  EXPECT_EQ(analysed->files.back(), "f999.rio");

  std::vector<std::string> words = file_words(MAX_FILES);
  words.back() += ",last.tdc";  // the 1001st file hides in a list
  cab_reset(&command_table, exclusion_rules_init);
  auto engine = [](int argc, char** argv) { return command_analysis(argc, argv) == -1 ? 0 : 1; };
  ASSERT_EQ(analyse_words(engine, words), 1);
  expect_fatal([] { analysed_options(); }, "Varnet-F-TOOMANYFI,  Too many RIO and/or TDC files on the command line\n");
}
