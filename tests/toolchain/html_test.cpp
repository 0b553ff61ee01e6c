#include <gtest/gtest.h>

#include "html.h"

TEST(Html, ReportTextStaysText) {
  EXPECT_EQ(escaped("</script><a href='x'>&"), "&lt;/script&gt;&lt;a href=&#39;x&#39;&gt;&amp;");
  EXPECT_EQ(escaped("\"q\"\ttab"), "&quot;q&quot; tab");
  EXPECT_EQ(escaped("bell\a del\x7f"), "bell\xEF\xBF\xBD del\xEF\xBF\xBD");
}

TEST(Html, OnlyWellFormedUtf8PassesThrough) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(escaped("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(escaped("caf\xE9.rod"), "caf" + fffd + ".rod");       // Latin-1
  EXPECT_EQ(escaped("\xC0\xAF"), fffd + fffd);                    // overlong '/'
  EXPECT_EQ(escaped("\xED\xA0\x80"), fffd + fffd + fffd);         // surrogate
  EXPECT_EQ(escaped("\xE2\x82"), fffd + fffd);                    // cut short
  EXPECT_EQ(escaped("\x80<"), fffd + "&lt;");
}

TEST(Html, GroupedNumbers) {
  EXPECT_EQ(grouped(0), "0");
  EXPECT_EQ(grouped(999), "999");
  EXPECT_EQ(grouped(1234567), "1\xE2\x80\xAF" "234\xE2\x80\xAF" "567");
  EXPECT_EQ(grouped(-1000), "\xE2\x88\x92" "1\xE2\x80\xAF" "000");
}
