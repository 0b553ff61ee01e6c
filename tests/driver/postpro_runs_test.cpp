#include "driver/postpro_runs.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "cmdline/cmd_line.h"
#include "driver/pairing.h"
#include "driver/run_state.h"
#include "support/process_trap.h"
#include "support/scratch_dir.h"

namespace {

const char OPTIONS[] = "  -RA=RA -VA=EVAL -LE=GB -COMMENT -LANDSCAPE -NOSUMMARY -ROD";
const std::string BUILD = MPS_BUILD_DIR;

std::string header(const char* kind) {
  return std::string("MIRVA ProbeSuite V6.2 ") + kind + " plan lift 2024-03-12\n";
}

// A fake toolchain program: a shell script in bin/.
void write_fake(const char* program, const std::string& body) {
  mkdir("bin", 0755);
  std::string path = std::string("bin/") + program;
  write_file(path, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
}

struct PostproRuns : testing::Test {
  scratch_dir scratch;
  std::vector<std::string> names;

  void SetUp() override {
    write_file("plan.tdc", header("TDC file") + "CF \"lift.tdc\" \"p\" \"/p\" \"1\" \"2\"\n");
    strcpy(postpro_options, OPTIONS);
    run_options.log = 0;
    incorrect_run_count = 0;
    setenv("MPS_DIR", BUILD.c_str(), 1);
    setenv("MPS_STANDIN_LOG", (scratch.path() + "/runs.log").c_str(), 1);
  }
  void TearDown() override { unsetenv("MPS_STANDIN_LOG"); }

  // Writes the RIO files with the given traces and pairs them with plan.tdc.
  void pair_rio_files(std::vector<std::pair<std::string, std::string>> rio_files) {
    names = {"plan.tdc"};
    for (auto& [name, trace] : rio_files) {
      write_file(name, header("RIO file") + trace);
      names.push_back(name);
    }
    memset(&cmd_line, 0, sizeof cmd_line);
    for (size_t j = 0; j < names.size(); ++j) cmd_line.files[j] = names[j].c_str();
    ASSERT_EQ(run_to_end([] { identify_and_pair(); }), -1);
  }

  int run(std::string* error_output) {
    return run_to_end([] { run_postprocessors(); }, error_output);
  }
};

std::string standin_line(const std::string& rio, const std::string& second, const char* log_word) {
  return BUILD + "/mpspostpro\t" + rio + "\t" + second +
         "\t-RA=RA\t-VA=EVAL\t-LE=GB\t-COMMENT\t-LANDSCAPE\t-NOSUMMARY\t-ROD\t-TDC=plan.tdc\t" + log_word + "\n";
}

TEST(RodPaths, LastDotOfTheWholePathCounts) {
  EXPECT_EQ(rod_path_of("dir/t1.rio"), "dir/t1.rod");
  EXPECT_EQ(second_argument_of("dir/t1.rio"), "dir/t1.ro");
  EXPECT_EQ(rod_path_of("a.b/t1"), "a.rod");
  EXPECT_EQ(rod_path_of("t1"), "t1.rod");
  EXPECT_EQ(second_argument_of("t1"), "t1");
  EXPECT_EQ(rod_path_of("t1.RIO"), "t1.rod");
  EXPECT_EQ(second_argument_of("t1.RIO"), "t1.RIO");
}

TEST_F(PostproRuns, StandInsMakeOneRodReportPerRioFile) {
  pair_rio_files({{"t1.rio", "EV \"1\"\n"}, {"t2.rio", "ER \"1\"\n"}});
  std::string error_output;
  EXPECT_EQ(run(&error_output), -1);
  EXPECT_EQ(error_output,
            "Varnet-I-MERGEPOST,  Generating report from t1.rio file\n"
            "Varnet-I-MERGEPOST,  Generating report from t2.rio file\n"
            "Varnet-W-MSGENDPOS,  Some scenarios are incorrect\n");
  EXPECT_EQ(incorrect_run_count, 1u);
  EXPECT_STREQ(rod_file_list[1], "t2.rod");
  EXPECT_EQ(read_file("t2.rod"), header("ROD file") + "ER \"1\"\n");
  EXPECT_EQ(read_file("runs.log"), standin_line("t1.rio", "t1.ro", "-NOLOG") + standin_line("t2.rio", "t2.ro", "-NOLOG"));
}

TEST_F(PostproRuns, LogMovesTheMessageBeforeTheRun) {
  write_fake("mpspostpro", "echo \"ran $1\" >&2\nexit 3\n");
  setenv("MPS_DIR", "bin", 1);
  pair_rio_files({{"t1.rio", ""}});
  std::string error_output;
  EXPECT_EQ(run(&error_output), -1);
  EXPECT_EQ(error_output,
            "ran t1.rio\n"
            "Varnet-I-MERGEPOST,  Generating report from t1.rio file\n"
            "Varnet-W-MSGENDPOS,  Some scenarios are incorrect\n");
  run_options.log = 1;
  EXPECT_EQ(run(&error_output), -1);
  EXPECT_EQ(error_output, "Varnet-I-MERGEPOST,  Generating report from t1.rio file\nran t1.rio\n");
  EXPECT_EQ(incorrect_run_count, 2u);
}

TEST_F(PostproRuns, FailedRunsAreRepeatedWithTheirLogThenRefused) {
  write_fake("mpspostpro", "echo \"$1 ${11} $#\" >>runs.log\n[ \"$1\" = t1.rio ] && exit 5\nkill -KILL $$\n");
  setenv("MPS_DIR", "bin", 1);
  pair_rio_files({{"t1.rio", ""}, {"t2.rio", ""}});
  std::string error_output;
  EXPECT_EQ(run(&error_output), 7);
  EXPECT_EQ(error_output,
            "Varnet-I-MERGEPOST,  Generating report from t1.rio file\n"
            "Varnet-I-MERGEPOST,  Generating report from t2.rio file\n"
            "Varnet-F-POSTFAILD,  The generation of some ROD report has failed. No RDD report generated\n");
  EXPECT_EQ(read_file("runs.log"), "t1.rio -NOLOG 11\nt1.rio -LOG 11\nt2.rio -NOLOG 11\nt2.rio -LOG 11\n");

  remove("runs.log");
  run_options.log = 1;
  EXPECT_EQ(run(&error_output), 7);
  EXPECT_EQ(read_file("runs.log"), "t1.rio -LOG 11\nt2.rio -LOG 11\n");

  setenv("MPS_DIR", "nowhere", 1);
  EXPECT_EQ(run(&error_output), 7);
  EXPECT_EQ(error_output,
            "Varnet-I-MERGEPOST,  Generating report from t1.rio file\n"
            "Varnet-I-MERGEPOST,  Generating report from t2.rio file\n"
            "Varnet-F-POSTFAILD,  The generation of some ROD report has failed. No RDD report generated\n");

  unsetenv("MPS_DIR");
  EXPECT_EQ(run(&error_output), 1);
  EXPECT_EQ(error_output, "MPS_DIR not set, stop execution.\n");
}

TEST_F(PostproRuns, NamesReachTheProgramUninterpreted) {
  std::vector<std::string> odd = {"t$(touch pwned).rio", "t`touch pwned`.rio", "t\"q.rio", "t\\b .rio"};
  pair_rio_files({{odd[0], ""}, {odd[1], ""}, {odd[2], ""}, {odd[3], ""}});
  EXPECT_EQ(run(nullptr), -1);
  std::string expected;
  for (const std::string& name : odd) {
    std::string stem = name.substr(0, name.size() - 4);
    expected += standin_line(name, stem + ".ro", "-NOLOG");
    EXPECT_EQ(read_file(stem + ".rod"), header("ROD file"));
  }
  EXPECT_EQ(read_file("runs.log"), expected);
  EXPECT_FALSE(QFileInfo::exists("pwned"));
}

TEST_F(PostproRuns, DifferentRioFilesMayNotShareARodReport) {
  pair_rio_files({{"t1.rio", ""}, {"t1.rio", ""}});
  EXPECT_EQ(run(nullptr), -1);
  EXPECT_EQ(read_file("runs.log"), standin_line("t1.rio", "t1.ro", "-NOLOG") + standin_line("t1.rio", "t1.ro", "-NOLOG"));

  remove("runs.log");
  mkdir("a.b", 0755);
  pair_rio_files({{"t1.rio", ""}, {"a.b/t1", ""}, {"./t1.RIO", ""}});
  std::string error_output;
  EXPECT_EQ(run(&error_output), 7);
  EXPECT_EQ(error_output, "Varnet-F-SAMERODFI,  The RIO files t1.rio and ./t1.RIO would write the same ROD report\n");
  EXPECT_FALSE(QFileInfo::exists("runs.log"));
}

TEST_F(PostproRuns, NamesThatWouldNotFitTheirAreasAreRefused) {
  pair_rio_files({{"t1.rio", ""}});
  std::string long_rio = std::string(2045, 'x') + ".b";  // its ROD path needs 2048 bytes and more
  cmd_line.files[1] = long_rio.c_str();
  std::string error_output;
  EXPECT_EQ(run(&error_output), 7);
  EXPECT_EQ(error_output, "Varnet-F-NAMTOOLNG,  The name " + long_rio + " makes a path or command longer than 2047 characters\n");

  cmd_line.files[1] = "t1.rio";
  setenv("MPS_DIR", ("/" + std::string(5100, 'd')).c_str(), 1);
  EXPECT_EQ(run(&error_output), 7);
  EXPECT_EQ(error_output, "Varnet-F-NAMTOOLNG,  The name t1.rio makes a path or command longer than 5119 characters\n");
  EXPECT_FALSE(QFileInfo::exists("runs.log"));
}

TEST_F(PostproRuns, BridgeGetsTheReportDirectoryAndLowerCaseName) {
  mkdir("out", 0755);
  write_file("out/x.rdd", "");
  std::string error_output;
  EXPECT_EQ(run_to_end([] { run_bridge("out/x.rdd", BUILD.c_str()); }, &error_output), -1);
  EXPECT_EQ(run_to_end([] { run_bridge("out.RDD", BUILD.c_str()); }, &error_output), -1);
  EXPECT_EQ(error_output, "mpsuml: cannot read ./out.rdd\n");  // its status is not judged
  EXPECT_EQ(read_file("runs.log"), BUILD + "/mpsuml\t-path\tout\t-name\tx.rdd\t-nobanner\n" +
                                       BUILD + "/mpsuml\t-path\t.\t-name\tout.rdd\t-nobanner\n");

  const char* refused[] = {"out.txt", ".rdd", "out/.RDD", "out.Rdd", ""};
  for (const char* name : refused) {
    EXPECT_EQ(run_to_end([&] { run_bridge(name, BUILD.c_str()); }, &error_output), 7) << name;
    EXPECT_EQ(error_output, "Varnet-F-POSTFAILD,  The generation of some ROD report has failed. No RDD report generated\n");
  }
  EXPECT_EQ(run_to_end([] { run_bridge("out/x.rdd", "nowhere"); }), 7);
}

// The bundled example: one TDC file, three testers, one of which reports an
// incorrect scenario.
TEST(BundledExample, PairsAndRunsWithOneIncorrectTester) {
  scratch_dir scratch;
  static const char* names[] = {"lift_acceptance.tdc", "cabin.rio", "landing.rio", "supervisor.rio"};
  memset(&cmd_line, 0, sizeof cmd_line);
  for (int j = 0; j < 4; ++j) {
    write_file(names[j], read_file(std::string(MPS_SOURCE_DIR) + "/examples/" + names[j]));
    cmd_line.files[j] = names[j];
  }
  strcpy(postpro_options, OPTIONS);
  run_options.log = 0;
  incorrect_run_count = 0;
  setenv("MPS_DIR", BUILD.c_str(), 1);
  std::string error_output;
  EXPECT_EQ(run_to_end([] {
              identify_and_pair();
              run_postprocessors();
            }, &error_output), -1);
  EXPECT_EQ(error_output,
            "Varnet-I-MERGEPOST,  Generating report from cabin.rio file\n"
            "Varnet-I-MERGEPOST,  Generating report from landing.rio file\n"
            "Varnet-W-MSGENDPOS,  Some scenarios are incorrect\n"
            "Varnet-I-MERGEPOST,  Generating report from supervisor.rio file\n");
  EXPECT_EQ(incorrect_run_count, 1u);
  EXPECT_EQ(cmd_line.time_flag, 0);
  EXPECT_STREQ(rod_file_list[2], "supervisor.rod");
}

}  // namespace
