#include "driver/report_walk.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "report/record_kinds.h"
#include "support/process_trap.h"
#include "support/random_report.h"
#include "support/report_text.h"
#include "support/scratch_dir.h"

namespace {
run_plan plan_of(const std::vector<std::string>& rods, bool time_variant) {
  run_plan plan;
  plan.time_variant = time_variant;
  for (size_t i = 0; i < rods.size(); ++i) plan.testers.push_back({"", "", rods[i], static_cast<int>(i) + 1, 1});
  return plan;
}

// The merged records and the header lines, or how the run ended.
std::string walked(const run_plan& plan, size_t threads) {
  init_keyword_records();
  std::string lines;
  std::string error;
  const int status = run_to_end(
      [&] {
        merged_run run = walk_reports(plan, threads);
        tree_node* headers = run.headers.take();
        tree_node* tree = settled(run.tree);
        lines = record_lines(tree) + record_lines(headers);
        free_tree(tree);
        free_tree(headers);
      },
      &error);
  return status == -1 ? lines : "status " + std::to_string(status) + ": " + error;
}
}  // namespace

// Reports read and shaped ahead on other threads merge as one thread merges
// them; a report that ends the run ends it in its turn, whatever a later
// one holds (here a block left open, then a report that is missing).
TEST(ReportWalk, ThreadsChangeNothing) {
  scratch_dir scratch;
  std::mt19937 random(11);
  int ended = 0;
  for (int run = 0; run < 12; ++run) {
    std::vector<std::string> rods;
    for (int tester = 0, testers = 3 + run % 4; tester < testers; ++tester) {
      rods.push_back("r" + std::to_string(tester) + ".rod");
      write_file(rods.back(), random_report(&random, tester));
    }
    if (run % 3 != 0) write_file(rods[1], "MIRVA ProbeSuite \"v\" \"PLAN\" \"ROD file\" \"date\"\nDB \"S\" \"end\"\nBC\n");
    if (run % 3 == 2) std::remove(rods.back().c_str());
    for (bool time_variant : {false, true}) {
      const run_plan plan = plan_of(rods, time_variant);
      const std::string alone = walked(plan, 1);
      ended += alone.rfind("status", 0) == 0;
      for (size_t threads : {2, 4}) EXPECT_EQ(walked(plan, threads), alone) << "run " << run << " threads " << threads;
    }
  }
  EXPECT_GE(ended, 16);
}
