#include <gtest/gtest.h>

#include "timeline.h"
#include "toolchain/rdd_text.h"

namespace {

std::vector<mark> marks_in(const timeline& t, mark_row row) {
  std::vector<mark> found;
  for (const mark& m : t.marks)
    if (m.row == row) found.push_back(m);
  return found;
}

const char TWO_TESTERS[] =
    "SC \"a\" \"x\" \"1\" \"2\" \n"
    "SC \"b\" \"y\" \"2\" \"2\" \n"
    "XI \"1000\" \"1\" \"4\" \"2\" \"4\" \n"
    "YI \"1\" \"5\" \"2\" \"5\" \n"
    "DS \"d\" \"x\" \"1\" \"TI-1\" \"1100\" \"1\" \"6\" \"2\" \"6\" \n"
    "ER \"x\" \"early\" \"2\" \"7\" \n"
    "EV \"e\" \"x\" \"1\" \"p\" \"1200\" \"1\" \"7\" \n"
    "DW \"w\" \"x\" \"300\" \"500\" \"1300\" \"1\" \"8\" \n"
    "EV \"f\" \"x\" \"1\" \"p\" \"1250\" \"2\" \"8\" \n"
    "ER \"x\" \"bad\" \"2\" \"9\" \n"
    "FW \"w\" \"x\" \"800\" \"500\" \"1800\" \"1\" \"8\" \n"
    "RD \"m\" \"x\" \"0\" \"1\" \"1900\" \"1\" \"9\" \n"
    "RD \"m\" \"x\" \"0\" \"1\" \"1950\" \"2\" \"10\" \n"
    "RD \"m\" \"x\" \"0\" \"1\" \"2000\" \"1\" \"10\" \n"
    "FS \"d\" \"2100\" \"0\" \"1\" \"11\" \"2\" \"11\" \n"
    "DT \"2200\" \"1\" \"12\" \"2\" \"12\" \n"
    "YT \"1\" \"13\" \"2\" \"13\" \n"
    "DS \"outer\" \"x\" \"1\" \"TI-2\" \"3000\" \"1\" \"20\" \n"
    "XI \"3100\" \"1\" \"21\" \n"
    "YI \"1\" \"22\" \n"
    "DS \"inner\" \"x\" \"1\" \"TI-3\" \"3200\" \"1\" \"23\" \n"
    "FS \"inner\" \"3300\" \"0\" \"1\" \"24\" \n"
    "FS \"outer\" \"3400\" \"0\" \"1\" \"25\" \n";

} // namespace

// Step spans, waits and rendezvous of real runs are read from their pages.
TEST(Timeline, ItemsErrorsAndMeetings) {
  scratch_dir dir;
  rdd_report rdd = rdd_of(TWO_TESTERS);
  std::vector<tester> testers = testers_of(rdd);
  timeline t = build_timeline(rdd, testers, align_clocks(rdd, testers));
  EXPECT_EQ(t.reports, (std::vector<uint32_t>{1, 2}));
  std::vector<mark> steps = marks_in(t, mark_row::step);
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(std::make_tuple(steps[1].report, steps[1].start, steps[1].end), std::make_tuple(2u, 1100u, 1950u));
  std::vector<mark> items = marks_in(t, mark_row::item);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(std::make_tuple(items[0].start, items[0].end, items[1].end), std::make_tuple(1000u, 2200u, 2200u));
  EXPECT_EQ(items[2].depth, 1);
  EXPECT_EQ(t.first_time, 1000u);
  EXPECT_EQ(t.last_time, 3200u);  // FS field 2 is never shifted: no time on the axis
  std::vector<mark> errors = marks_in(t, mark_row::error);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].start, 1100u);  // its tester's shared step began then
  EXPECT_EQ(errors[1].start, 1250u);  // not the other tester's later wait
  ASSERT_EQ(t.meetings.size(), 1u);   // the second "m" of tester 1 meets nobody
  EXPECT_EQ(t.marks[t.meetings[0].marks[1]].start, 1950u);
  EXPECT_EQ(rendezvous_gaps(t, testers), (std::vector<std::optional<uint32_t>>{50u, 50u}));
  ASSERT_EQ(t.items.size(), 3u);
  EXPECT_EQ(std::make_tuple(t.items[0].xi, t.items[0].ds, t.items[0].fs, t.items[0].verdict),
            std::make_tuple(2, 4, 14, 15));
  EXPECT_EQ(std::make_tuple(t.items[1].xi, t.items[1].ds, t.items[1].depth), std::make_tuple(-1, 17, 0u));
  EXPECT_EQ(std::make_tuple(t.items[2].xi, t.items[2].ds, t.items[2].depth), std::make_tuple(18, 20, 1u));
}
