#pragma once

#include <string>
#include <vector>

#include "alignment.h"
#include "rdd_report.h"
#include "step_results.h"
#include "testers.h"
#include "timeline.h"

// A merged run as read from its RDD report and its testers' ROD reports.
struct run_view {
  std::string path;
  rdd_report rdd;
  std::vector<tester> testers;
  std::vector<clock_alignment> clocks;
  std::vector<std::optional<uint64_t>> rendezvous_gaps; // per tester, in merged ticks
  timeline lanes;
  std::vector<merged_step> steps;    // the RDD report's verdicts, one per test step
  std::vector<step_result> results;  // each tester's
};

// Throws tool_failure naming the file and line when it is no complete RDD report.
run_view read_run(const std::string& rdd_path);

std::string file_name_of(const std::string& path);
