#include <gtest/gtest.h>

#include "cmdline/program_command.h"

using program::analyse;
using program::error_line;
using program::analysed;

// The defaults are in every postpro_* scenario's log.
TEST(PostproOptions, CanonicalNamesWhateverWasWritten) {
  ASSERT_EQ(analyse({"-RA=t", "-va=noeval", "-LE=FR", "-NOC", "-PORTRAIT", "-SUM", "-NORO", "-LOG", "a"}), 1);
  EXPECT_EQ(analysed->postpro_options, "  -RA=TEST -VA=NOEVAL -LE=GB -NOCOMMENT -PORTRAIT -SUMMARY -ROD -NORO");
  EXPECT_TRUE(analysed->log);
  ASSERT_EQ(analyse({"-RA=TESTS", "-VA=COMBINE", "-LA", "-NOS", "-NOLOG", "-time", "a"}), 1);
  EXPECT_EQ(analysed->postpro_options, "  -RA=TEST -VA=COMBINE -LE=GB -COMMENT -LANDSCAPE -NOSUMMARY -ROD");
  EXPECT_FALSE(analysed->log);
  EXPECT_EQ(option_state("TIME"), 12);
  EXPECT_EQ(option_state("SUMMARY"), -10);
  ASSERT_EQ(analyse({"-ra=err", "a"}), 1);
  EXPECT_EQ(analysed->postpro_options, "  -RA=ERR -VA=EVAL -LE=GB -COMMENT -LANDSCAPE -NOSUMMARY -ROD");
}

// What the scenarios (cmdline_*, limit_word_1025) and the engine's own
// refusals leave out: the rest of the program's table.
TEST(CommandErrors, ErrorLineOfEveryRefusedCommand) {
  const std::string r1025(1025, 'r');
  const struct {
    std::vector<std::string> words;
    const char* text;
    std::string item;
  } cases[] = {
      {{"-N", "a"}, "Ambiguous option,", "N"},
      {{"-LE=F", "a"}, "Ambiguous value of option,", "F"},
      {{"-LE=GBR", "a"}, "Arg length too large,", "GBR"},
      {{"-RDD", "a"}, "Mandatory argument for this option,", "RDD"},
      {{"-RDD=", "a"}, "Mandatory argument for this option,", "RDD="},
      {{"a", "-RDD=" + r1025}, "Arg length too large,", r1025},
      {{"-PORTRAIT", "-LANDSCAPE", "a"}, "Illegal combination of command elements,", "LANDSCAPE and PORTRAIT"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(analyse(c.words, &error), 0) << c.item.substr(0, 20);
    EXPECT_EQ(error, error_line(c.text, c.item));
  }
  EXPECT_FALSE(analysed);
  EXPECT_EQ(analyse({std::string(1024, 'f'), "-RDD=" + std::string(1024, 'r')}), 1);
}
