#include <gtest/gtest.h>

#include "cmdline/program_command.h"
#include "support/process_trap.h"

using program::analyse;

TEST(FillCmdLine, FilesTimeAndDestination) {
  ASSERT_EQ(analyse({"a.rio,b\\,c.tdc", "-TIME", "d.rio", "-RDD=out\\,x.rdd"}), 1);
  fill_cmd_line();
  EXPECT_STREQ(cmd_line.files[0], "a.rio");
  EXPECT_STREQ(cmd_line.files[1], "b,c.tdc");
  EXPECT_STREQ(cmd_line.files[2], "d.rio");
  EXPECT_EQ(cmd_line.files[3], nullptr);
  EXPECT_EQ(time_option(cmd_line), 1);
  EXPECT_STREQ(dest_option(cmd_line), "out,x.rdd");

  ASSERT_EQ(analyse({"a.rio"}), 1);
  fill_cmd_line();
  EXPECT_EQ(cmd_line.files[1], nullptr);
  EXPECT_EQ(time_option(cmd_line), 0);
  EXPECT_EQ(cmd_line.dest_given, 0);
  EXPECT_EQ(dest_option(cmd_line), nullptr);
}

static std::vector<std::string> file_words(int count) {
  std::vector<std::string> words;
  for (int n = 0; n < count; ++n) words.push_back("f" + std::to_string(n) + ".rio");
  return words;
}

TEST(FillCmdLine, AtMostOneThousandFiles) {
  ASSERT_EQ(analyse(file_words(MAX_FILES)), 1);
  fill_cmd_line();
  EXPECT_STREQ(cmd_line.files[MAX_FILES - 1], "f999.rio");

  std::vector<std::string> words = file_words(MAX_FILES);
  words.back() += ",last.tdc";  // the 1001st file hides in a list
  ASSERT_EQ(analyse(words), 1);
  expect_fatal([] { fill_cmd_line(); }, "Varnet-F-TOOMANYFI,  Too many RIO and/or TDC files on the command line\n");
}
