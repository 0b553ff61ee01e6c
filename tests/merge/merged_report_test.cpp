#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "driver/shape_report.h"
#include "merge/merged_report.h"
#include "report/source_record.h"
#include "report/time_points.h"
#include "support/process_trap.h"
#include "support/random_report.h"
#include "support/report_text.h"
#include "support/scratch_dir.h"

namespace {
// The merged records of the reports, or how the run ended. Settling after
// every report drops the merges' cache and the owed shift each time: the
// next report is merged as if neither existed.
std::string merge_all(const std::vector<std::string>& paths, bool time_variant, bool settle_every_report) {
  record_chain headers;
  init_keyword_records();
  std::string lines;
  std::string error;
  const int status = run_to_end(
      [&] {
        merged_report merged(time_variant);
        for (size_t i = 0; i < paths.size(); ++i) {
          const int number = static_cast<int>(i) + 1;
          file_digest read;
          tree_node* report = shape_report(paths[i].c_str(), number, time_variant, &headers, &read);
          const report_source source{paths[i].c_str(), number, read};
          merged.align(report, survey_report(report), source);
          postprocess_report(report, source);
          merged.merge(report);
          if (settle_every_report) merged.settle();
        }
        tree_node* tree = settled(merged.take_tree());
        lines = record_lines(tree);
        free_tree(tree);
      },
      &error);
  free_tree(headers.take());
  return status == -1 ? lines : "status " + std::to_string(status) + ": " + error;
}
}  // namespace

// The merged tree owes its shifts and keeps its cache from one report to the
// next; the records must come out as if neither were kept.
TEST(MergedReport, MergesWithTheCacheAsWithoutIt) {
  scratch_dir scratch;
  std::mt19937 random(7);
  int completed[2] = {0, 0};
  for (int run = 0; run < 60; ++run) {
    std::vector<std::string> paths;
    for (int tester = 0, testers = 2 + run % 3; tester < testers; ++tester) {
      paths.push_back("r" + std::to_string(tester) + ".rod");
      write_file(paths.back(), random_report(&random, tester));
    }
    for (bool time_variant : {false, true}) {
      const std::string owed = merge_all(paths, time_variant, false);
      EXPECT_EQ(owed, merge_all(paths, time_variant, true)) << "run " << run << " time " << time_variant;
      completed[time_variant] += owed.rfind("status", 0) != 0;
    }
  }
  // Runs whose first records meet (no shared clock or rendezvous) may end
  // early by the time variant's first record; enough of each must complete.
  EXPECT_GT(completed[0], 50);
  EXPECT_GT(completed[1], 15);
}

// Every report links the same closing records: whatever a run does to its
// trees must leave them as they were made.
TEST(MergedReport, SharedClosingRecordsStayAsMade) {
  scratch_dir scratch;
  for (const char* path : {"r1.rod", "r2.rod"}) {
    write_file(path,
               "MIRVA ProbeSuite \"v\" \"PLAN\" \"ROD file\" \"date\"\nRE \"run\" \"1\"\nSC\n"
               "IE \"0\" \"N\" \"t\"\nXI \"100\" \"0\" \"0\"\nYI \"0\"\n"
               "DS \"G\" \"t\" \"STEP\" \"ID\" \"100\" \"2\" \"1\"\nPP \"1\"\nPQ\nDA \"1\" \"2\" \"3\" \"4\" \"5\"\nPA\n"
               "EV \"E\" \"signal\" \"7\" \"info\" \"110\"\nCH \"V\" \"1\" \"ok\"\nCO\n"
               "DW \"W\" \"write\" \"120\" \"8\" \"120\"\nDX \"P\" \"data\" \"2\"\nCH \"V\" \"1\" \"ok\"\nCO\n"
               "SN \"s\" \"x\" \"b\" \"130\" \"0\" \"130\"\nCH \"V\" \"1\" \"ok\"\n"
               "FS \"G\" \"140\" \"1\" \"0\" \"0\"\nDB \"S\" \"end\"\nBF \"S\" \"end\"\n");
  }
  const std::string lines = merge_all({"r1.rod", "r2.rod"}, false, false);
  for (const char* closing : {"FQ", "FA", "FV", "FX", "FF", "FO", "FN", "FR"})
    EXPECT_NE(lines.find(std::string("\n") + closing + " \n"), std::string::npos) << closing << "\n" << lines;
  for (uint32_t kind = 0; kind < KEYWORD_COUNT; ++kind) {
    const record* shared = keyword_record(kind);
    EXPECT_EQ(shared->kind(), kind);
    EXPECT_EQ(shared->size(), 0u) << shared->keyword();
    for (record_mark mark : {DROPPED_MARK, NO_RD_MARK, NUMBERED_MARK, GROWING_MARK})
      EXPECT_FALSE(shared->has(mark)) << shared->keyword() << " " << int{mark};
  }
}

// A rendezvous that joined a block holding none before is still found: the
// third report meets it (merged times move by 900) rather than meeting by
// first records (by 1900).
TEST(MergedReport, RendezvousJoinedIntoABlockWithoutOneIsFound) {
  scratch_dir scratch;
  auto report = [](const std::string& xi, const std::string& rendezvous) {
    return "MIRVA ProbeSuite \"v\" \"PLAN\" \"ROD file\" \"date\"\nRE \"run\" \"1\"\nXI \"" + xi +
           "\" \"0\" \"0\"\nYI \"0\"\nDS \"G\" \"t\" \"STEP\" \"ID\" \"" + xi + "\" \"2\" \"1\"\n" + rendezvous +
           "XX \"A\" \"check\" \"done\"\nFS \"G\" \"" + xi + "\" \"0\" \"0\" \"0\"\nDB \"S\" \"end\"\nBF \"S\" \"end\"\n";
  };
  write_file("r1.rod", report("100", ""));
  write_file("r2.rod", report("100", "RD \"R\" \"sync\" \"2\" \"115\" \"115\"\n"));
  write_file("r3.rod", report("2000", "RD \"R\" \"sync\" \"2\" \"1015\" \"1015\"\n"));
  const std::string lines = merge_all({"r1.rod", "r2.rod", "r3.rod"}, false, false);
  EXPECT_NE(lines.find("\nXI \"1000\""), std::string::npos) << lines;
}
