#include <gtest/gtest.h>

#include "report_line.h"

TEST(ReportLine, FieldsAsTheMergerReadsThem) {
  report_line line;
  ASSERT_TRUE(split_report_line("CF   \"ca\"\"b.rod\",\"x\" junk \"\"", line));
  EXPECT_EQ(line.keyword, "CF");
  ASSERT_EQ(line.fields.size(), 3u);
  EXPECT_EQ(line.fields[0], "\"ca\"\"b.rod\"");
  EXPECT_EQ(field_text(line.fields[0]), "ca\"b.rod");
  EXPECT_EQ(field_text(line.fields[2]), "");
  EXPECT_FALSE(split_report_line("ER \"a\" \"no end", line));
  EXPECT_FALSE(split_report_line("ER \"a\"\"", line));
}

TEST(ReportLine, NumbersAndTimes) {
  EXPECT_EQ(field_number("\"??\""), 0);
  EXPECT_EQ(field_number("\"-5\""), -5);
  EXPECT_EQ(field_number("\"5a\""), std::nullopt);
  EXPECT_EQ(field_number("\"-\""), std::nullopt);
  EXPECT_EQ(field_number("\"\""), std::nullopt);
  EXPECT_EQ(field_number("\"99999999999999999999\""), std::nullopt);
  EXPECT_EQ(field_time("\"-1\""), 4294967295u); // printed signed by the merger
}
