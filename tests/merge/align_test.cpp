#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "merge/alignment.h"
#include "merge/merged_report.h"
#include "report/source_record.h"
#include "merge/time_shift.h"
#include "support/process_trap.h"
#include "support/report_text.h"

namespace {
// A report whose body holds the given records, with SY as first element.
tree_node* timed_report(record* sy, std::initializer_list<tree_item> body) {
  return report_tree(sy, chain(body), rec("FT \"0\" \"0\""));
}

int32_t value_at(const record* r, uint32_t position) { return r->at(position).number; }
template <uint64_t Kinds>
int32_t value_at(const record* r, field_name<Kinds> name) {
  return r->at(name).number;
}
// A record's own time, where the vocabulary puts it.
int32_t time_at(const record* r) { return value_at(r, facts_of(r->kind()).time_field); }

// The reports merged one after the other, report n read from rn.rod; the
// merged tree, settled.
tree_node* merged_tree(std::initializer_list<tree_node*> reports) {
  merged_report merged(false);
  int number = 0;
  for (tree_node* report : reports) {
    const std::string path = "r" + std::to_string(++number) + ".rod";
    const report_source source{path.c_str(), number, {}};
    merged.align(report, survey_report(report), source);
    postprocess_report(report, source);
    merged.merge(report);
  }
  return settled(merged.take_tree());
}
}  // namespace

// Meeting by first records: align_three_testers.
TEST(Align, FirstRecordOtherThanXiOrDsEndsTheRun) {
  expect_fatal([&] {
    merged_tree({timed_report(rec("IT \"x\""), {rec("DA \"1\" \"\" \"1\" \"2\" \"3\"")}),
                 timed_report(rec("IT \"x\""), {rec("XI \"1\" \"0\" \"0\"")})});
  });
}

TEST(Align, ClockBorrowMatchesTheUnitLoop) {
  auto loop = [](uint32_t ticks, uint32_t per_unit, uint32_t d) {
    uint32_t borrowed = 0;
    while (ticks < d) {
      ++borrowed;
      ticks += per_unit;
    }
    return borrowed;
  };
  const uint32_t cases[][3] = {{0, 1000, 500},       {499, 1000, 500},      {500, 1000, 500},
                               {0, 1000, 2500},      {7, 3, 20},            {0, 0x80000000u, 0x80000000u},
                               {100, 0xFFFFFFFFu, 200}, {1000, 0xFFFFFFF6u, 5000}, {5, 0xC0000000u, 0x80000000u}};
  for (const auto& c : cases) EXPECT_EQ(clock_borrow(c[0], c[1], c[2]), loop(c[0], c[1], c[2]));
  EXPECT_EQ(clock_borrow(0, 1, 0x80000000u), 0x80000000u);
  EXPECT_EQ(clock_borrow(3, 0, 10), 0u);

  record* sy = rec("SY \"c\" \"5\" \"3\" \"0\" \"1\" \"ms\"");
  shift_record(sy, 10);
  EXPECT_EQ(value_at(sy, SY_UNITS), 5);
  EXPECT_EQ(value_at(sy, SY_TICKS), -7);
  free_record(sy);
}

// SY records of a merged body or last section, which came with a later
// report, take part in the same-clock test too.
TEST(Align, SyRecordInAMergedBodyOrLastSectionCounts) {
  enum where { NONE, IN_BODY, IN_LAST };
  for (auto other : {NONE, IN_BODY, IN_LAST}) {
    record* early = rec("XI \"40\" \"0\" \"0\"");
    tree_node* second = timed_report(rec("SY \"clk\" \"10\" \"0\" \"1000\" \"1\" \"ms\""), {rec("FT \"50\" \"50\"")});
    record* other_sy = rec("SY \"other\" \"10\" \"0\" \"1000\" \"1\" \"ms\"");
    if (other == NONE)
      free_record(other_sy);
    else
      append(other == IN_LAST ? second->next->next->item.list() : second->next->item.list(), list1(other_sy));
    record* late = rec("XI \"1\" \"0\" \"0\"");
    tree_node* tree = merged_tree({timed_report(rec("SY \"clk\" \"10\" \"0\" \"1000\" \"1\" \"ms\""), {early}), second,
                               timed_report(rec("SY \"clk\" \"9\" \"500\" \"1000\" \"1\" \"ms\""), {late})});
    EXPECT_EQ(time_at(early), other != NONE ? 40 : 540) << other;
    EXPECT_EQ(time_at(late), other != NONE ? 40 : 1) << other;
    free_tree(tree);
  }
}

// The rendezvous match as its rule reads: from the cursor, the first merged
// RD record of the same name; none leaves the cursor where it was. The
// merged times are stored less the shift the tree owes; the sum is exact.
TEST(Align, RendezvousMatchIsTheCursorSearch) {
  std::mt19937 random(3);
  std::vector<record*> records;
  auto refs = [&](size_t n, uint32_t names) {
    std::vector<rd_ref> list;
    for (size_t i = 0; i < n; ++i) {
      const std::string time = std::to_string(static_cast<int32_t>(random()));
      records.push_back(rec("RD \"n\" \"x\" \"0\" \"" + time + "\" \"" + time + "\""));
      list.push_back({records.back(), static_cast<uint32_t>(random() % names)});
    }
    return list;
  };
  for (int round = 0; round < 300; ++round) {
    const uint32_t names = 1 + random() % 6;
    const uint32_t owed = round % 2 ? random() : 0;
    const std::vector<rd_ref> merged = refs(random() % 30, names), report = refs(random() % 12, names);
    size_t cursor = 0;
    int64_t sum = 0;
    uint32_t expected = 0;
    const record* first = nullptr;
    for (const rd_ref& b : report) {
      size_t a = cursor;
      while (a < merged.size() && merged[a].name != b.name) ++a;
      if (a == merged.size()) continue;
      const uint32_t stored = static_cast<uint32_t>(value_at(merged[a].rd, RD_MATCHED_TIME));
      const auto merged_time = static_cast<int32_t>(stored + owed);
      sum += int64_t{value_at(b.rd, RD_MATCHED_TIME)} - merged_time;
      if (++expected == 1) first = b.rd;
      cursor = a + 1;
    }
    const rendezvous_match match = match_rendezvous(merged, report, names, owed);
    ASSERT_EQ(match.count, expected) << round;
    EXPECT_EQ(match.sum, sum) << round;
    EXPECT_EQ(match.first, first) << round;
  }
  for (record* r : records) free_record(r);
}

// A time that alignment would take out of the signed 32-bit range it is
// written in ends the run, naming the ROD report and line of the record,
// whichever tree is scaled or shifted; one that reaches the end of the
// range stays. Each report is a clock record (line 2) and its body (lines 3
// on); distinct clock names align the reports by their first records.
TEST(Align, TimesLeavingTheSignedRangeEndTheRun) {
  auto ms = [](const char* clock) { return "SY \"" + std::string(clock) + "\" \"0\" \"0\" \"1000\" \"1\" \"ms\""; };
  const std::string s = "SY \"s\" \"0\" \"0\" \"1\" \"1000\" \"s\"";
  auto xi = [](const char* time) { return "XI \"" + std::string(time) + "\" \"0\" \"0\""; };
  auto ev = [](const char* time) { return "EV \"e\" \"x\" \"1\" \"p\" \"" + std::string(time) + "\""; };
  auto rd = [](const char* time) { return "RD \"r\" \"x\" \"0\" \"" + std::string(time) + "\" \"" + time + "\""; };
  auto ns = [](const char* units) {
    return "SY \"lab\" \"" + std::string(units) + "\" \"0\" \"1000000000\" \"1\" \"ns\"";
  };
  const std::string lowest = "SY \"z\" \"-2147483648\" \"0\" \"1000\" \"1\" \"ms\"";
  const struct {
    const char* what;
    std::vector<std::vector<std::string>> reports;
    const char* refused;  // report and line, or none: the last EV time then
  } cases[] = {
      {"report scaled", {{ms("a"), xi("0")}, {s, xi("0"), ev("2200000")}}, "line 4 of the ROD report r2.rod"},
      {"tree scaled", {{s, xi("0"), ev("-2200000")}, {ms("a"), xi("0")}}, "line 4 of the ROD report r1.rod"},
      {"report shifted", {{ms("a"), xi("2147483000")}, {ms("b"), xi("0"), ev("1000")}},
       "line 4 of the ROD report r2.rod"},
      {"tree shifted twice", {{ms("a"), xi("0"), ev("2147482000")}, {ms("b"), xi("500")}, {ms("c"), xi("2000")}},
       "line 4 of the ROD report r1.rod"},
      {"tree shifted one past the end",
       {{ms("a"), xi("0"), ev("2147482000")}, {ms("b"), xi("500")}, {ms("c"), xi("1648")}},
       "line 4 of the ROD report r1.rod"},
      // Differences out of range by themselves end the run at the report's
      // record they came from.
      {"rendezvous offset", {{ms("a"), xi("0"), rd("-2000000000")}, {ms("b"), xi("0"), rd("2000000000")}},
       "line 4 of the ROD report r2.rod"},
      {"same clock 3 s apart in ns", {{ns("0"), xi("0")}, {ns("3"), xi("0")}}, "line 2 of the ROD report r2.rod"},
      {"first records", {{ms("a"), xi("-2000000000")}, {ms("b"), xi("2000000000")}},
       "line 3 of the ROD report r2.rod"},
      // A clock borrowing whole units past the lowest.
      {"report's clock borrows", {{ms("a"), xi("5000")}, {lowest, xi("0")}}, "line 2 of the ROD report r2.rod"},
      {"tree's clock borrows", {{lowest, xi("0")}, {ms("a"), xi("5000")}}, "line 2 of the ROD report r1.rod"},
      {"tree shifted to the end",
       {{ms("a"), xi("0"), ev("2147482000")}, {ms("b"), xi("500")}, {ms("c"), xi("1647")}},
       nullptr},
  };
  for (const auto& c : cases) {
    std::vector<tree_node*> reports;
    record* last_ev = nullptr;
    for (size_t r = 0; r < c.reports.size(); ++r) {
      const int number = static_cast<int>(r) + 1;
      tree_node* body = nullptr;
      for (size_t i = 1; i < c.reports[r].size(); ++i) {
        record* read = rec(c.reports[r][i], number, static_cast<int>(i) + 1);
        if (c.reports[r][i][0] == 'E') last_ev = read;
        body = body ? (append(body, list1(read)), body) : list1(read);
      }
      reports.push_back(timed_report(rec(c.reports[r][0], number, 1), {}));
      reports.back()->next->item = body;
    }
    std::string error;
    tree_node* tree = nullptr;
    const int status = run_to_end([&] {
      tree = c.reports.size() == 2 ? merged_tree({reports[0], reports[1]})
                                   : merged_tree({reports[0], reports[1], reports[2]});
    }, &error);
    if (c.refused) {
      EXPECT_EQ(status, 7) << c.what;
      EXPECT_EQ(error, std::string("Varnet-F-TIMERANGE,  A time of ") + c.refused +
                           " leaves the range -2147483648 to 2147483647 on the common time base\n")
          << c.what;
    } else {
      ASSERT_EQ(status, -1) << c.what << error;
      EXPECT_EQ(time_at(last_ev), INT32_MAX) << c.what;
      free_tree(tree);
    }
  }
}

// The differences of the rendezvous are summed exactly: two of 1 500 000 000
// would wrap a 32-bit sum.
TEST(Align, RendezvousOffsetIsExact) {
  auto rd = [](const char* name, const char* time) {
    return rec("RD \"" + std::string(name) + "\" \"x\" \"0\" \"" + time + "\" \"" + time + "\"");
  };
  record* early_r1 = rd("r1", "-1500000000");
  record* late_r1 = rd("r1", "0");
  tree_node* tree = merged_tree({timed_report(rec("SY \"a\" \"0\" \"0\" \"1000\" \"1\" \"ms\""),
                                          {rec("XI \"0\" \"0\" \"0\""), early_r1, rd("r2", "-1499999000")}),
                             timed_report(rec("SY \"b\" \"0\" \"0\" \"1000\" \"1\" \"ms\""),
                                          {rec("XI \"0\" \"0\" \"0\""), late_r1, rd("r2", "1000")})});
  EXPECT_EQ(time_at(early_r1), 0);
  EXPECT_EQ(value_at(early_r1, RD_MATCHED_TIME), 0);
  EXPECT_EQ(time_at(late_r1), 0);
  free_tree(tree);
}
