// The fixed tables and areas of the run driver, met at their limit and one past it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cmdline/cmd_line.h"
#include "driver/pairing.h"
#include "driver/run_state.h"
#include "support/process_trap.h"
#include "support/scratch_dir.h"
#include "util/environment.h"

namespace {

TEST(Limits, MpsDirArea) {
  const std::string fits(MPS_DIR_SIZE - 1, 'd');
  setenv("MPS_TEST_DIR", fits.c_str(), 1);
  EXPECT_STREQ(env_copy("MPS_TEST_DIR", mps_dir_value, sizeof mps_dir_value), fits.c_str());
  setenv("MPS_TEST_DIR", (fits + "d").c_str(), 1);
  std::string error;
  EXPECT_EQ(run_to_end([] { env_copy("MPS_TEST_DIR", mps_dir_value, sizeof mps_dir_value); }, &error), 7);
  EXPECT_EQ(error, "Varnet-F-ENVTOOLNG,  Environment variable MPS_TEST_DIR is longer than 2199 characters\n");
  unsetenv("MPS_TEST_DIR");
}

// Names the files in cmd_line, keeping the names alive until the next call.
void name_files(std::vector<std::string> names) {
  static std::vector<std::string> held;
  held = std::move(names);
  memset(&cmd_line, 0, sizeof cmd_line);
  for (size_t j = 0; j < held.size(); ++j) cmd_line.files[j] = held[j].c_str();
}

TEST(Limits, EveryRowOfThePairingTables) {
  scratch_dir scratch;
  const std::string head = "MIRVA ProbeSuite V6.2 RIO file plan lift\n";
  std::vector<std::string> names = {"plan.tdc"};
  write_file("plan.tdc", "MIRVA ProbeSuite V6.2 TDC file plan lift\nCF \"a\" \"b\" \"c\" \"d\" \"e\"\n");
  for (int r = 0; r < MAX_FILES - 1; ++r) {
    names.push_back("t" + std::to_string(r) + ".rio");
    write_file(names.back(), head);
  }
  name_files(names);
  ASSERT_EQ(run_to_end([] { identify_and_pair(); }), -1);
  EXPECT_EQ(tdc_table[0].pair_count, MAX_FILES - 1);
  EXPECT_EQ(rio_of_tdc[0][MAX_FILES - 2], MAX_FILES - 2);
  EXPECT_EQ(rio_of_tdc[0][MAX_FILES - 1], -1);

  // A thousand RIO rows: every row taken, none left for a TDC file.
  names[0] = "t999.rio";
  write_file(names[0], head);
  name_files(names);
  std::string error;
  EXPECT_EQ(run_to_end([] { identify_and_pair(); }, &error), 7);
  EXPECT_EQ(error, "Varnet-F-NEEDTDCFI,  At least one TDC file should be on the command line\n");
  EXPECT_EQ(rio_table[PAIR_ROWS - 1].file_index, PAIR_ROWS - 1);
}

// The last byte of the head window may be the header line's line feed; past
// it, the line never ends.
TEST(Limits, HeadWindow) {
  scratch_dir scratch;
  const std::string tdc_head = "MIRVA ProbeSuite TDC file ";
  const std::string rio_head = "MIRVA ProbeSuite RIO file ";
  write_file("a.tdc", tdc_head + std::string(HEAD_WINDOW - 1 - tdc_head.size(), 'x') + "\n");
  write_file("a.rio", rio_head + std::string(HEAD_WINDOW - 1 - rio_head.size(), 'x') + "\n");
  name_files({"a.tdc", "a.rio"});
  cmd_line.time_flag = 1;  // no plan line to compare
  EXPECT_EQ(run_to_end([] { identify_and_pair(); }), -1);
  EXPECT_EQ(tdc_table[0].pair_count, 1);

  write_file("a.rio", rio_head + std::string(HEAD_WINDOW - rio_head.size(), 'x') + "\n");
  std::string error;
  EXPECT_EQ(run_to_end([] { identify_and_pair(); }, &error), 7);
  EXPECT_EQ(error, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
}

}  // namespace
