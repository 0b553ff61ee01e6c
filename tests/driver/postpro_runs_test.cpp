// The guards of the post-processor and bridge runs that the command line
// cannot reach; the runs themselves are checked by the e2e scenarios.

#include "driver/postpro_runs.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/process_trap.h"
#include "support/scratch_dir.h"

namespace {

const char OPTIONS[] = "  -RA=RA -VA=EVAL -LE=GB -COMMENT -LANDSCAPE -NOSUMMARY -ROD";
const int COMMAND_AREA = 5120;  // the post-processor's and the bridge's commands

// The rule is the post-processor's; the names it would take out of their
// folder are refused.
TEST(RodPaths, LastDotOfTheWholePathCounts) {
  const struct {
    const char *rio, *rod, *second;
    bool refused;
  } cases[] = {{"dir/t1.rio", "dir/t1.rod", "dir/t1.ro", false},
               {"a.b/t1", "a.rod", "a.b/t1", true},
               {"./t1", ".rod", "./t1", true},
               {"a.b/t1.x", "a.b/t1.rod", "a.b/t1.x", false},
               {"t1", "t1.rod", "t1", false},
               {"dir/t1", "dir/t1.rod", "dir/t1", false},
               {"t1.RIO", "t1.rod", "t1.RIO", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(rod_path_of(c.rio), c.rod) << c.rio;
    EXPECT_EQ(second_argument_of(c.rio), c.second) << c.rio;
    EXPECT_EQ(last_dot_in_folder(c.rio), c.refused) << c.rio;
  }
}

void write_fake(const char* program) {
  mkdir("bin", 0755);
  std::string path = std::string("bin/") + program;
  write_file(path, "#!/bin/sh\necho \"$1\" >>ran\n");
  chmod(path.c_str(), 0755);
}

std::string refused(const std::string& name, int area) {
  return "Varnet-F-NAMTOOLNG,  The name " + name + " makes a path or command longer than " +
         std::to_string(area - 1) + " characters\n";
}

// Each area holds a text one byte shorter than itself (its zero byte after
// it); one byte more is refused before anything runs.
TEST(PostproRuns, AreasAreFilledToTheLastByte) {
  scratch_dir scratch;
  write_fake("mpspostpro");
  write_fake("mpsuml");
  // A plan of one tester, whose names each case stretches.
  run_plan plan;
  plan.options.postpro_options = OPTIONS;
  plan.output = "mpsrdd.rdd";
  auto set_tester = [&plan](const std::string& rio, const std::string& tdc) {
    plan.options.files = {tdc, rio};
    plan.testers = {tester_plan{rio, tdc, rod_path_of(rio), 1, 0}};
  };
  const std::optional<std::string> bin = "bin";
  auto run = [&] { run_postprocessors(plan, bin); };
  auto fits = [&] { return run_to_end(run) == -1; };

  // The ROD report's path: 2047 characters.
  set_tester(std::string(2043, 'r') + ".rio", "plan.tdc");
  EXPECT_TRUE(fits());
  remove("ran");
  const std::string rio = std::string(2044, 'r') + ".b";
  set_tester(rio, "plan.tdc");
  expect_fatal(run, refused(rio, 2048));
  EXPECT_FALSE(QFileInfo::exists("ran"));

  // The quoted TDC name: 2047 characters with its quotes.
  std::string tdc = std::string(2045, 't');
  set_tester("t1.rio", tdc);
  EXPECT_TRUE(fits());
  tdc += 't';
  set_tester("t1.rio", tdc);
  expect_fatal(run, refused(tdc, 2048));
  set_tester("t1.rio", "plan.tdc");

  // The post-processor command: 5119 characters, padded by blanks in the options.
  const std::string command = "\"bin/mpspostpro\" \"t1.rio\" \"t1.ro\" " + std::string(OPTIONS) +
                              " -TDC=\"plan.tdc\" -NOLOG";
  plan.options.postpro_options = OPTIONS + std::string(COMMAND_AREA - 1 - command.size(), ' ');
  EXPECT_TRUE(fits());
  plan.options.postpro_options += " ";
  expect_fatal(run, refused("t1.rio", COMMAND_AREA));

  // The bridge command: 5119 characters.
  const std::string bridge_frame = "\"bin/mpsuml\" -path \"\" -name \"x.rdd\" -nobanner ";
  std::string rdd = std::string(5119 - bridge_frame.size(), 'd') + "/x.rdd";
  EXPECT_EQ(run_to_end([&] { run_bridge(rdd.c_str(), "bin"); }), -1);
  rdd.insert(0, "d");
  expect_fatal([&] { run_bridge(rdd.c_str(), "bin"); }, refused(rdd, COMMAND_AREA));
}

// Only a name ending in ".rdd" or ".RDD" after a base name goes to the bridge.
TEST(PostproRuns, BridgeRefusesOtherNames) {
  for (const char* name : {"out.txt", ".rdd", "out/.RDD", "out.Rdd", ""}) {
    SCOPED_TRACE(name);
    expect_fatal([&] { run_bridge(name, MPS_BUILD_DIR); },
                 "Varnet-F-POSTFAILD,  The generation of some ROD report has failed. No RDD report generated\n");
  }
}

}  // namespace
