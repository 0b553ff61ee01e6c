#include "driver/pairing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "cmdline/cmd_line.h"
#include "driver/run_state.h"
#include "support/process_trap.h"
#include "support/scratch_dir.h"

namespace {

std::string header(const char* kind, const char* tester) {
  return std::string("MIRVA ProbeSuite V6.2 ") + kind + " tester " + tester + " plan lift 2024-03-12\n";
}

const char PLAN[] = "CF \"lift.tdc\" \"plans\" \"/srv/plans\" \"1234\" \"51966\"\n";

// Writes tester.rio and tester.tdc, a pair of their own, the TDC file with
// the given lines after its header.
void write_pair(const char* tester, const std::string& tdc_lines = PLAN) {
  write_file(std::string(tester) + ".rio", header("RIO file", tester));
  write_file(std::string(tester) + ".tdc", header("TDC file", tester) + tdc_lines);
}

void name_files(std::vector<const char*> names) {
  memset(&cmd_line, 0, sizeof cmd_line);
  for (size_t j = 0; j < names.size(); ++j) cmd_line.files[j] = names[j];
}

// Pairs the named files; yields the status (-1 when the run goes on) and
// what was written on standard error.
int pair(std::vector<const char*> names, std::string* error_output = nullptr) {
  name_files(names);
  return run_to_end([] { identify_and_pair(); }, error_output);
}

struct Pairing : testing::Test {
  scratch_dir scratch;
  void SetUp() override {
    write_pair("a", std::string("EX \"1\"\n") + PLAN);
    write_file("a2.rio", header("RIO file", "a"));
  }
};

TEST_F(Pairing, PairsInCommandLineOrderWhateverComesFirst) {
  for (auto order : {std::vector<const char*>{"a.tdc", "a.rio", "a2.rio"},
                     std::vector<const char*>{"a.rio", "a2.rio", "a.tdc"}}) {
    strcpy(rod_file_list[3], "stale.rod");
    std::string error_output;
    EXPECT_EQ(pair(order, &error_output), -1);
    EXPECT_EQ(error_output, "");
    EXPECT_STREQ(cmd_line.files[rio_table[0].file_index], "a.rio");
    EXPECT_STREQ(cmd_line.files[rio_table[1].file_index], "a2.rio");
    EXPECT_EQ(rio_table[2].file_index, -1);
    EXPECT_EQ(tdc_table[0].pair_count, 2);
    EXPECT_EQ(rio_of_tdc[0][0], 0);
    EXPECT_EQ(rio_of_tdc[0][1], 1);
    EXPECT_EQ(rio_of_tdc[0][2], -1);
    EXPECT_STREQ(tdc_table[0].plan_line, "CF \"lift.tdc\" \"plans\" \"/srv/plans\" \"1234\" \"51966\"");
    EXPECT_EQ(rod_file_list[3][0], '\0');
    EXPECT_EQ(cmd_line.time_flag, 0);
  }
}

TEST_F(Pairing, RefusesFilesThatAreNotRioOrTdcFiles) {
  struct {
    std::string content;
    const char* expected;
  } cases[] = {
      {"", "Varnet-F-UNEXPTEOF,  Unexpected end of file\n"},
      {"MIRVA ProbeSuite RIO file without line feed", "Varnet-F-UNEXPTEOF,  Unexpected end of file\n"},
      {"MIRVA ProbeSuite RIO file " + std::string(10240, 'x') + "\n", "Varnet-F-UNEXPTEOF,  Unexpected end of file\n"},
      {"header RIO file\nMIRVA ProbeSuite\n", "Varnet-F-NORIOTDCF,  The odd file is not an RIO file\n"},
      {"MIRVA ProbeSuite RIO-file\n", "Varnet-F-UNKMIRVAF,  The odd file is not a TDC file neither a RIO one\n"},
  };
  for (const auto& c : cases) {
    write_file("odd", c.content);
    std::string error_output;
    EXPECT_EQ(pair({"a.tdc", "odd", "a.rio"}, &error_output), 7);
    EXPECT_EQ(error_output, c.expected);
  }
  std::string error_output;
  EXPECT_EQ(pair({"a.tdc", "missing.rio"}, &error_output), 7);
  EXPECT_EQ(error_output, "Varnet-F-FICNOTOPN,  File missing.rio access problem\n");
}

// The plan line is cut where the window ends, without reading beyond it.
TEST_F(Pairing, PlanLineCutAtTheWindowEdge) {
  std::string tdc = header("TDC file", "a");
  tdc += std::string(10240 - tdc.size() - 9, '-') + "\n";
  tdc += "CF \"a\" \"b\" \"c\" \"d\" \"e\"\n";
  write_file("a.tdc", tdc);
  name_files({"a.tdc", "a.rio"});
  cmd_line.time_flag = 1;
  EXPECT_EQ(run_to_end([] { identify_and_pair(); }), -1);
  EXPECT_STREQ(tdc_table[0].plan_line, "CF \"a\" \"");
}

TEST_F(Pairing, EveryRioFileNeedsExactlyOneTdcFile) {
  write_pair("b");
  write_file("twin.tdc", header("TDC file", "a") + PLAN);
  struct {
    std::vector<const char*> files;
    const char* expected;
  } cases[] = {
      {{"a.tdc", "a.rio", "b.rio"}, "Varnet-F-NOTDCFRIO,  No TDC file match this b.rio RIO file\n"},
      {{"a.rio", "a.tdc", "twin.tdc"}, "Varnet-F-MULTITDCS,  This a.rio RIO file match two or more TDC files\n"},
      {{"a.tdc", "b.tdc"}, "Varnet-F-NEEDRIOFI,  At least one RIO file should be on the command line\n"},
      {{"a.rio"}, "Varnet-F-NEEDTDCFI,  At least one TDC file should be on the command line\n"},
  };
  for (const auto& c : cases) {
    std::string error_output;
    EXPECT_EQ(pair(c.files, &error_output), 7);
    EXPECT_EQ(error_output, c.expected);
  }
}

// A TDC file no RIO file needs is dropped before its plan line is looked at.
TEST_F(Pairing, UnneededTdcFileIsDroppedWithAWarning) {
  write_file("door.tdc", header("TDC file", "door"));
  std::string error_output;
  EXPECT_EQ(pair({"door.tdc", "a.tdc", "a.rio"}, &error_output), -1);
  EXPECT_EQ(error_output, "Varnet-W-NORIOFTDC,  No RIO file match this door.tdc TDC file\n");
  EXPECT_EQ(tdc_table[0].file_index, -1);
  EXPECT_EQ(cmd_line.time_flag, 0);
}

TEST_F(Pairing, PlanLinesDecideTheTimeVariant) {
  write_pair("moved", "CF \"lift.tdc\" \"elsewhere\" \"/srv/plans\" \"1234\" \"51966\"\n");
  write_pair("renamed", "CF \"door.tdc\" \"plans\" \"/srv/plans\" \"1234\" \"51966\"\n");
  write_pair("bare", "EX \"1\"\n");
  write_pair("short", "CF \"lift.tdc\" \"plans\" \"/srv/plans\" \"1234\"\n");

  std::string error_output;
  EXPECT_EQ(pair({"a.tdc", "moved.tdc", "a.rio", "moved.rio"}, &error_output), -1);
  EXPECT_EQ(error_output, "");
  EXPECT_EQ(cmd_line.time_flag, 0);

  EXPECT_EQ(pair({"a.tdc", "renamed.tdc", "a.rio", "renamed.rio"}, &error_output), -1);
  EXPECT_EQ(error_output, "Varnet-I-FILESDIFF,  Reports comes from different test plans\n");
  EXPECT_EQ(cmd_line.time_flag, 1);

  for (auto files : {std::vector<const char*>{"bare.tdc", "bare.rio"},
                     std::vector<const char*>{"a.tdc", "short.tdc", "a.rio", "short.rio"}}) {
    EXPECT_EQ(pair(files, &error_output), 7);
    EXPECT_EQ(error_output, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  }

  name_files({"bare.tdc", "bare.rio"});
  cmd_line.time_flag = 1;
  EXPECT_EQ(run_to_end([] { identify_and_pair(); }), -1);
}

// The last field may end its text: the next search must not start beyond it.
TEST(QuotedField, StopsAtTheEndOfItsText) {
  std::vector<char> text{'"', 'a', '"', '\0'};
  char* rest = nullptr;
  EXPECT_STREQ(quoted_field(text.data(), &rest), "\"a\"");
  EXPECT_EQ(run_to_end([&] { quoted_field(rest, &rest); }), 7);
}

}  // namespace
