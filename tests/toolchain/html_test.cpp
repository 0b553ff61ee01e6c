#include <gtest/gtest.h>

#include "html.h"

// Report text stays text: markup is escaped, and only well-formed UTF-8
// passes through.
TEST(Html, EscapedText) {
  const std::string fffd = "\xEF\xBF\xBD";
  const std::pair<std::string, std::string> cases[] = {
      {"</script><a href='x'>&", "&lt;/script&gt;&lt;a href=&#39;x&#39;&gt;&amp;"},
      {"\"q\"\ttab", "&quot;q&quot; tab"},
      {"bell\a del\x7f", "bell" + fffd + " del" + fffd},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"caf\xE9.rod", "caf" + fffd + ".rod"},   // Latin-1
      {"\xC0\xAF", fffd + fffd},                // overlong '/'
      {"\xED\xA0\x80", fffd + fffd + fffd},     // surrogate
      {"\xE2\x82", fffd + fffd},                // cut short
      {"\x80<", fffd + "&lt;"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(escaped(text), expected) << text;
}

TEST(Html, GroupedNumbers) {
  EXPECT_EQ(grouped(0), "0");
  EXPECT_EQ(grouped(999), "999");
  EXPECT_EQ(grouped(1234567), "1\xE2\x80\xAF" "234\xE2\x80\xAF" "567");
  EXPECT_EQ(grouped(-1000), "\xE2\x88\x92" "1\xE2\x80\xAF" "000");
}
