#include <gtest/gtest.h>

#include "step_lengths.h"

TEST(StepLengths, UnitOfTwoRuns) {
  merged_tick ms{1000000, 3, "ms"}, tens_of_us{10000, 6, "10us"}, beats{0, 3, "beats"}, bars{0, 3, "bars"};
  const struct {
    const merged_tick &old_tick, &new_tick;
    std::optional<int64_t> least; // nothing: not compared
    bool in_time;
  } cases[] = {
      {ms, ms, 1000000, true},
      {tens_of_us, ms, 1000000, true}, // the coarser tick
      {beats, beats, 1, false},
      {beats, bars, std::nullopt, false},
      {ms, beats, std::nullopt, false},
  };
  for (const auto& c : cases) {
    std::optional<length_unit> unit = length_unit_of(c.old_tick, c.new_tick);
    ASSERT_EQ(unit.has_value(), c.least.has_value()) << c.old_tick.label << " " << c.new_tick.label;
    if (unit) {
      EXPECT_EQ(std::make_pair(unit->least, unit->in_time), std::make_pair(*c.least, c.in_time));
    }
  }
}

TEST(StepLengths, ChangedBeyondTenPercentAndOneTick) {
  length_unit ticks, ms{true, 1000000, 1000000, 1000000};
  const struct {
    int64_t old_length, new_length;
    const length_unit& unit;
    bool changed;
  } cases[] = {
      {1000, 1101, ticks, true},  {1000, 1100, ticks, false}, // exactly 10 %
      {1000, 899, ticks, true},   {1000, 900, ticks, false},
      {3, 4, ticks, false},       {3, 5, ticks, true},        // one tick is rounding
      {0, 1, ticks, false},       {0, 2, ticks, true},
      {1550000000, 1850000000, ms, true}, {2000000, 3000000, ms, false},
      {4294967295LL * 1000000000, 1, ms, true}, // seconds at the top of the range
  };
  for (const auto& c : cases) EXPECT_EQ(length_changed(c.old_length, c.new_length, c.unit), c.changed) << c.old_length << " " << c.new_length;
}

TEST(StepLengths, Texts) {
  length_unit ticks, ms{true, 1000000, 1000000, 1000000};
  EXPECT_EQ(change_text(300000000, ms), "+300 ms");
  EXPECT_EQ(change_text(-1, ticks), "\xE2\x88\x92" "1 tick");
  EXPECT_EQ(change_text(0, ms), "0");
  EXPECT_EQ(length_text(0, ms), "0 s");
  EXPECT_EQ(length_text(1550000000, ms), "1\xE2\x80\xAF" "550 ms");
}

TEST(StepLengths, NumbersThatDoNotFitAreNotCompared) {
  length_unit ms{true, 1000000, 1000000, 1000000}, long_ticks{true, 999999000000000, 1000000, 999999000000000};
  EXPECT_EQ(change_in_unit(5500, 5800, ms), 300000000);
  EXPECT_EQ(change_in_unit(4294967295LL, 0, long_ticks), std::nullopt);
  EXPECT_EQ(change_in_unit(INT64_MIN / 1000000, INT64_MAX / 1000000, ms), std::nullopt);
  EXPECT_EQ(in_unit(4294967295LL, 999999000000000), std::nullopt);
}
