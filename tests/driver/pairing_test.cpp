// Pairing roads the e2e scenarios (pair_*, limit_*) leave out: the edges of
// the head window and of the pairing tables, and plan-line comparison.

#include "driver/pairing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "support/process_trap.h"
#include "support/scratch_dir.h"

namespace {

const char PLAN[] = "CF \"lift.tdc\" \"plans\" \"/srv/plans\" \"1234\" \"51966\"\n";

// A RIO file pairs with the TDC file whose header line differs only in its kind.
std::string header(const char* kind, const char* tester = "a") {
  return std::string("MIRVA ProbeSuite V6.2 ") + kind + " tester " + tester + " plan lift\n";
}

// Pairs the named files; yields the status (-1 when the run goes on) and
// what was written on standard error, and the plan made.
run_plan plan;
bool plans_differ = false;
int pair(std::vector<std::string> names, std::string* error_output = nullptr, bool time_variant_asked = false) {
  command_options options;
  options.files = std::move(names);
  options.time_variant = time_variant_asked;
  plan = run_plan{};
  const int status = run_to_end([&] { plan = identify_and_pair(options); }, error_output);
  plans_differ = plan.time_variant && !time_variant_asked;
  return status;
}

struct Pairing : testing::Test {
  scratch_dir scratch;
  void SetUp() override {
    write_file("a.tdc", header("TDC file") + "EX \"1\"\n" + PLAN);
    write_file("a.rio", header("RIO file"));
  }
};

// Field 1 of the plan line decides the TIME variant; the other fields do not.
TEST_F(Pairing, PairsOrRefusesTheFiles) {
  write_file("empty", "");
  write_file("odd", "MIRVA ProbeSuite RIO-file\n");
  write_file("b.rio", header("RIO file", "b"));
  mkdir("folder.rio", 0755);
  const std::vector<std::string> two_pairs = {"a.tdc", "b.tdc", "a.rio", "b.rio"};
  const struct {
    const char* plan_line;  // of b.tdc
    std::vector<std::string> files;
    int status;
    bool plans_differ;
    const char* expected;
  } cases[] = {
      {PLAN, {"a.tdc", "empty", "a.rio"}, 7, false, UNEXPECTED_END.c_str()},
      {PLAN, {"a.tdc", "odd", "a.rio"}, 7, false,
       "Varnet-F-UNKMIRVAF,  The odd file is not a TDC file neither a RIO one\n"},
      {PLAN, {"a.tdc", "folder.rio"}, 7, false, "Varnet-F-FICNOTOPN,  File folder.rio access problem\n"},
      {PLAN, {"a.tdc", "b.tdc"}, 7, false,
       "Varnet-F-NEEDRIOFI,  At least one RIO file should be on the command line\n"},
      {"CF \"lift.tdc\" \"elsewhere\" \"/srv/plans\" \"1234\" \"51966\"\n", two_pairs, -1, false, ""},
      {"CF \"door.tdc\" \"plans\" \"/srv/plans\" \"1234\" \"51966\"\n", two_pairs, -1, true,
       "Varnet-I-FILESDIFF,  Reports comes from different test plans\n"},
      {"CF \"lift.tdc\" \"plans\" \"/srv/plans\" \"1234\"\n", two_pairs, 7, false, UNEXPECTED_END.c_str()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.files[1] + " " + c.plan_line);
    write_file("b.tdc", header("TDC file", "b") + c.plan_line);
    std::string error_output;
    EXPECT_EQ(pair(c.files, &error_output), c.status);
    EXPECT_EQ(error_output, c.expected);
    EXPECT_EQ(plans_differ, c.plans_differ);
  }
  // Already in the TIME variant, plan lines are not looked at.
  write_file("b.tdc", header("TDC file", "b"));
  EXPECT_EQ(pair({"b.tdc", "b.rio"}, nullptr, true), -1);
}

// The last byte of the head window may be the header line's line feed (past
// it: limit_head_window); a plan line is cut where the window ends.
TEST_F(Pairing, HeadWindowEdges) {
  const std::string tdc_head = "MIRVA ProbeSuite TDC file ";
  const std::string rio_head = "MIRVA ProbeSuite RIO file ";
  write_file("b.tdc", tdc_head + std::string(HEAD_WINDOW - 1 - tdc_head.size(), 'x') + "\n");
  write_file("b.rio", rio_head + std::string(HEAD_WINDOW - 1 - rio_head.size(), 'x') + "\n");
  EXPECT_EQ(pair({"b.tdc", "b.rio"}, nullptr, true), -1);
  ASSERT_EQ(plan.testers.size(), 1u);
  EXPECT_EQ(plan.testers[0].tdc, "b.tdc");

  // Cut where the window ends, the plan line lacks its last fields.
  std::string tdc = header("TDC file");
  tdc += std::string(HEAD_WINDOW - tdc.size() - 9, '-') + "\n";
  write_file("a.tdc", tdc + "CF \"a\" \"b\" \"c\" \"d\" \"e\"\n");
  write_file("b.tdc", header("TDC file", "b") + PLAN);
  write_file("b.rio", header("RIO file", "b"));
  std::string error;
  EXPECT_EQ(pair({"a.tdc", "a.rio", "b.tdc", "b.rio"}, &error), 7);
  EXPECT_EQ(error, UNEXPECTED_END);
}

// Every row of the tables can be used (1001 files: limit_files_1001).
TEST_F(Pairing, EveryRowOfThePairingTables) {
  std::vector<std::string> names = {"a.tdc"};
  for (int r = 0; r < MAX_FILES - 1; ++r) {
    names.push_back("t" + std::to_string(r) + ".rio");
    write_file(names.back(), header("RIO file"));
  }
  ASSERT_EQ(pair(names), -1);
  ASSERT_EQ(plan.testers.size(), size_t{MAX_FILES - 1});
  EXPECT_EQ(plan.testers.back().rio, "t998.rio");
  EXPECT_EQ(plan.testers.back().rod, "t998.rod");
  EXPECT_EQ(plan.testers.back().report_number, MAX_FILES - 1);

  // A thousand RIO files and no TDC file.
  names[0] = "a.rio";
  std::string error;
  EXPECT_EQ(pair(names, &error), 7);
  EXPECT_EQ(error, "Varnet-F-NEEDTDCFI,  At least one TDC file should be on the command line\n");
}

// The testers come in the order of their RIO files, each with its own TDC
// file, whatever the order of the TDC files.
TEST_F(Pairing, TestersInTheOrderOfTheirRioFiles) {
  write_file("b.tdc", header("TDC file", "b") + PLAN);
  write_file("b.rio", header("RIO file", "b"));
  ASSERT_EQ(pair({"b.tdc", "a.rio", "", "a.tdc", "b.rio"}), -1);
  ASSERT_EQ(plan.testers.size(), 2u);
  EXPECT_EQ(plan.testers[0].rio, "a.rio");
  EXPECT_EQ(plan.testers[0].tdc, "a.tdc");
  EXPECT_EQ(plan.testers[0].tdc_rank, 1);
  EXPECT_EQ(plan.testers[1].rio, "b.rio");
  EXPECT_EQ(plan.testers[1].tdc_rank, 0);
  EXPECT_EQ(plan.testers[1].report_number, 2);
  EXPECT_EQ(plan.output, "mpsrdd.rdd");
}

// The last field may end its text: the next search must not start beyond it.
TEST(QuotedField, StopsAtTheEndOfItsText) {
  std::vector<char> text{'"', 'a', '"', '\0'};
  char* rest = nullptr;
  EXPECT_STREQ(quoted_field(text.data(), &rest), "\"a\"");
  EXPECT_EQ(run_to_end([&] { quoted_field(rest, &rest); }), 7);
}

}  // namespace
