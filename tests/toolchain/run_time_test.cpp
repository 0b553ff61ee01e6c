#include <gtest/gtest.h>

#include "run_time.h"

TEST(RunTime, TickLabels) {
  const struct {
    const char* label;
    std::optional<int64_t> ns;
  } cases[] = {{"ms", 1000000}, {"10us", 10000}, {"1 s", 1000000000}, {"\xC2\xB5s", 1000}, {"ns", 1},
               {"100ns", 100},  {"ticks", std::nullopt}, {"", std::nullopt}, {"0ms", std::nullopt}, {"5", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(label_nanoseconds(c.label), c.ns) << c.label;
}

TEST(RunTime, ClockTexts) {
  merged_tick ms{1000000, 3, "ms"}, tens_of_us{10000, 6, "10us"}, ns{1, 9, "ns"}, seconds{1000000000, 3, "s"};
  merged_tick unknown;
  const struct {
    int64_t ticks;
    const merged_tick& tick;
    const char* text;
  } cases[] = {
      {0, ms, "0:00:00.000"},
      {13000, ms, "0:00:13.000"},
      {3723456, ms, "1:02:03.456"},
      {-1500, ms, "\xE2\x88\x92" "0:00:01.500"},
      {422913, tens_of_us, "0:00:04.229130"},
      {1600000000, tens_of_us, "4:26:40.000000"},
      {4294967295, ns, "0:00:04.294967295"},
      {4294967295, seconds, "1193046:28:15.000"}, // no overflow for a coarse tick
      {1234, unknown, "1\xE2\x80\xAF" "234 ticks"},
  };
  for (const auto& c : cases) EXPECT_EQ(clock_text(c.ticks, c.tick), c.text) << c.ticks;
}

TEST(RunTime, TickLengthsSaidPlainly) {
  clock_record hall{"hall", "s", 95, 0, 1, 1000}, lab{"lab", "10us", 0, 0, 100000, 1}, odd{"x", "beats", 0, 0, 1, 7};
  EXPECT_EQ(tick_length_text(hall), "1 tick = 1 s (tick length 1\xE2\x80\xAF" "000)");
  EXPECT_EQ(tick_length_text(lab), "1 tick = 10 \xC2\xB5s (tick length 1)");
  EXPECT_EQ(tick_length_text(odd), "1 tick = beats (tick length 7)");
}
