// Every word the engine refuses, with its error line byte for byte.

#include <gtest/gtest.h>

#include "cmdanalysis/sample_command.h"

TEST(CabRefusals, ErrorLineOfEveryRefusedCommand) {
  const std::string huge(1 << 20, 'V');
  const struct {
    std::vector<std::string> words;
    const char* text;
    std::string item;
  } cases[] = {
      {{"in", "-VER"}, "Ambiguous option,", "VER"},
      // A word that runs past a full name is not that option.
      {{"in", "-VERIFYX"}, "Unknown option,", "VERIFYX"},
      {{"in", "-VERBOSE", "-NOVERBOSE"}, "An option can't be used twice,", "NOVERBOSE"},
      {{"in", "-COUNT=1", "-COUNT=2"}, "An option can't be used twice,", "COUNT=2"},
      {{"in", "-COUNT"}, "Mandatory argument for this option,", "COUNT"},
      {{"in", "-COUNT="}, "Mandatory argument for this option,", "COUNT="},
      {{"in", "-VERIFY=1"}, "No argument for this option,", "VERIFY=1"},
      {{"in", "-SHAPE=round,square"}, "List forbidden invalid option,", "SHAPE=round,square"},
      {{"a", "out", "more"}, "Too many arguments invalid argument,", "more"},
      {{"a", "o,p"}, "List forbidden invalid argument,", "o,p"},
      {{}, "Argument missing,", "input"},
      {{""}, "Argument missing,", "input"},  // an empty argument gives no value
      {{"abcdefghi"}, "Arg length too large,", "abcdefghi"},
      {{"abcdef\\,g"}, "Arg length too large,", "abcdef\\,g"},  // the escape counts
      {{"a", "o"}, "Arg length too small,", "o"},
      {{"a", "-COUNT=0"}, "Arg value too small,", "0"},
      {{"a", "-COUNT=100"}, "Arg value too large,", "100"},
      {{"a", "-COUNT=99999999999999999999999"}, "Arg value too large,", "99999999999999999999999"},
      {{"a", "-OFFSET=4,-6"}, "Arg value too small,", "-6"},
      {{"a", "-SHAPE=s"}, "Ambiguous value of option,", "s"},
      {{"a", "-SHAPE=hexa"}, "Unknown value of option,", "hexa"},
      {{"a", "-VERIFY", "-VERBOSE"}, "Illegal combination of command elements,", "VERIFY and VERBOSE"},
      {{"a", "-SHAPE=sq"}, "Illegal combination of command elements,", "SQUARE and output"},
      // The prefix alone leaves an empty item, which still gets its blank.
      {{"a", "-"}, "Unknown option,", ""},
      {{"a", "-="}, "Unknown option,", "="},
      {{"a", "-\xff\xfe\x80"}, "Unknown option,", "\xff\xfe\x80"},  // not UTF-8: given back as is
      {{"a", "-" + huge}, "Unknown option,", huge},
      {{huge}, "Arg length too large,", huge},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(sample::analyse(c.words, &error), -1) << c.item.substr(0, 20);
    EXPECT_EQ(error, sample::error_line(c.text, c.item));
  }
}
