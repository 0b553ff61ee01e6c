#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/report_text.h"

static std::string written(const record& r) {
  return stream_text([&r](FILE* out) { pt_ecrit(out, r); });
}

TEST(PtEcrit, KeywordFieldsAndNumbersEachFollowedByABlank) {
  record* r = rec("SY \"a\" \"-5\" \"3\" \"4\" \"5\" \"b\"\"c\"", 7, 9);
  EXPECT_EQ(written(*r), "SY \"a\" \"-5\" \"3\" \"4\" \"5\" \"b\"\"c\" \"7\" \"9\" \n");
  r->set_at(2, field{});
  EXPECT_EQ(written(*r), "SY \"a\" \"3\" \"4\" \"5\" \"b\"\"c\" \"7\" \"9\" \n");
  free_record(r);
  record* bare = make_record("", nullptr, 0);
  EXPECT_EQ(written(*bare), " \n");
  free_record(bare);
}

// Numbers of every length, both signs and both ends of the range, printed
// often enough that the printer's buffer fills up and is handed on between
// and within lines.
TEST(PtEcrit, NumbersOfEveryLengthAcrossTheBuffer) {
  const int32_t values[] = {0, 7, 10, 99, 100, 999, 1000, 65535, 99999, 100000, 1234567, 999999999,
                            INT32_MAX, -1, -10, -100, -99999, INT32_MIN};
  std::vector<field> fields;
  std::string line = "NU ";
  for (const int32_t value : values) {
    fields.push_back(field::of_number(value));
    line += '"' + std::to_string(value) + "\" ";
  }
  line += '\n';
  record* r = make_record("NU", fields);
  const int lines = 3 * (1 << 16) / static_cast<int>(line.size()) + 7;
  const std::string text = stream_text([r, lines](FILE* out) {
    record_printer printer(out);
    for (int i = 0; i < lines; ++i) printer.print(*r);
  });
  std::string expected;
  for (int i = 0; i < lines; ++i) expected += line;
  EXPECT_EQ(text, expected);
  free_record(r);
}

// Digits go two at a time: every value of up to five digits, both signs,
// and a stride through the rest of the range.
TEST(PtEcrit, EveryDigitGroup) {
  std::vector<int64_t> values;
  for (int64_t v = 0; v < 100000; ++v) values.push_back(v % 2 ? -v : v);
  for (int64_t v = 100000; v <= INT32_MAX; v += 9973 * 101) values.push_back(v % 2 ? -v : v);
  std::string expected, text;
  for (size_t first = 0; first < values.size(); first += 1000) {
    std::vector<field> fields;
    std::string line = "NU ";
    for (size_t i = first; i < std::min(values.size(), first + 1000); ++i) {
      fields.push_back(field::of_number(static_cast<int32_t>(values[i])));
      line += '"' + std::to_string(values[i]) + "\" ";
    }
    expected += line + '\n';
    record* r = make_record("NU", fields);
    text += stream_text([r](FILE* out) { record_printer(out).print(*r); });
    free_record(r);
  }
  EXPECT_EQ(text, expected);
}
