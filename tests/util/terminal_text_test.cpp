#include <gtest/gtest.h>

#include "util/terminal_text.h"

using namespace std::string_view_literals;

TEST(TerminalSafe, ShowsControlCharactersEscapedAndKeepsEveryOtherByte) {
  const struct {
    std::string_view bytes, shown;
  } cases[] = {
      {"x\x1b[1A\x1b[2Ky.rio", "x\\x1b[1A\\x1b[2Ky.rio"},
      {"bs\bbel\a\x7f", "bs\\x08bel\\x07\\x7f"},
      {"a\0b"sv, "a\\x00b"},
      {"\x01\x1f\x20~", "\\x01\\x1f ~"},
      {"ca\rbin\nx\ty", "ca\\rbin\\nx\\ty"},
      // C1 controls written in UTF-8; the characters around them stay.
      {"\xc2\x80\xc2\x9b\xc2\x9f\xc2\xa0\xc3\xa9", "\\u0080\\u009b\\u009f\xc2\xa0\xc3\xa9"},
      // Bytes that are not UTF-8 are no characters, C1 bytes included.
      {"\x9b[2K\xff\xc2", "\x9b[2K\xff\xc2"},
      {"\xc0\x9b\xe0\x80\x9b", "\xc0\x9b\xe0\x80\x9b"},
      {"\xf0\x90\x82\x80\xed\xb2\x80", "\xf0\x90\x82\x80\xed\xb2\x80"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(terminal_safe(c.bytes), c.shown) << c.bytes;
}

// A sequence cut by the end of the bytes is none, whatever follows in memory.
TEST(Utf8SequenceLength, StopsAtTheEndOfTheBytes) {
  const auto* text = reinterpret_cast<const unsigned char*>("\xe2\x82\xac\xc3\xa9");
  EXPECT_EQ(utf8_sequence_length(text, 3), 3);
  EXPECT_EQ(utf8_sequence_length(text, 2), 0);
  EXPECT_EQ(utf8_sequence_length(text + 3, 2), 2);
  EXPECT_EQ(utf8_sequence_length(text + 3, 1), 0);
}
