#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "report/numeric.h"
#include "support/process_trap.h"
#include "support/report_text.h"

TEST(Numeric, ConvertsTheListedPositionsOnly) {
  tree_node* records = classified_records(
      "SY \"name\" \"??\" \"-5\" \" 12abc\" \"99999999999999999999\"\n"
      "RD \"7\" \"b\" \"99999999999\" \"+4\" \"\"\n"
      "RE \"1\"\n");
  const record* sy = records->item.rec();
  EXPECT_TRUE(sy->at(1).is_text());
  EXPECT_EQ(sy->at(2).number, 0);
  EXPECT_EQ(sy->at(3).number, -5);
  EXPECT_EQ(sy->at(4).number, 12);
  EXPECT_EQ(sy->at(5).number, -1);  // saturated 64-bit value, low 32 bits
  const record* rd = records->next->item.rec();
  EXPECT_TRUE(rd->at(1).is_text());
  EXPECT_EQ(rd->at(3).number, static_cast<int32_t>(99999999999LL & 0xFFFFFFFF));
  EXPECT_EQ(rd->at(4).number, 4);
  EXPECT_EQ(rd->at(5).number, 0);
  EXPECT_TRUE(records->next->next->item.rec()->at(1).is_text());
  free_tree(records);
}

TEST(Numeric, RecordsTooShortForTheirKindEndTheRun) {
  // The report and line numbers after the fields must not be taken for fields.
  for (const char* text : {"DT\n", "XI \"1\" \"2\"\n", "IC \"1\" \"2\" \"3\" \"4\" \"5\" \"6\"\n"}) {
    SCOPED_TRACE(text);
    expect_fatal([&] { classified_records(text); });
  }
}

// Plain digits are read without strtol: every length and digit, leading
// zeros, and what is not all digits, against what strtol reads.
TEST(Numeric, ShortDigitFieldsReadAsStrtolReadsThem) {
  std::vector<std::string> texts;
  for (int64_t v = 0; v < 200000; v += 7) texts.push_back(std::to_string(v));
  for (int64_t v = 200000; v < 10000000000; v = v * 3 + 1) texts.push_back(std::to_string(v));
  for (const char* odd : {"0", "00", "0007", "99999999", "123456789", "12a4", "1 2", "-5", " 12", "+4", "/", ":",
                          "9:", "0/0", "\"", "1234567\""})
    texts.push_back(odd);
  for (const std::string& text : texts) {
    const std::string quoted = '"' + text + '"';
    EXPECT_EQ(parse_number(quoted), strtol(text.c_str(), nullptr, 10)) << quoted;
  }
}
