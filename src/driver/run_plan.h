#pragma once

// What a run does, decided from its command line and the heads of its files
// before any program runs: the phases after pairing read it and nothing
// else of the command line.

#include <string>
#include <vector>

#include "cmdline/cmd_line.h"

// One virtual tester: its RIO file, the TDC file it was produced from, and
// where the post-processor leaves its ROD report.
struct tester_plan {
  std::string rio;
  std::string tdc;
  std::string rod;
  int report_number;  // its RIO file's rank among the command line's RIO files, from 1
  int tdc_rank;       // its TDC file's rank among the command line's TDC files
};

struct run_plan {
  command_options options;
  std::vector<tester_plan> testers;  // by report number
  bool time_variant = false;         // asked for, or the TDC files come from different test plans
  std::string output;                // the RDD report's name
};

// Where the post-processor writes the ROD report of a RIO file: the text
// from the last dot of the whole path replaced by ".rod", or ".rod" appended.
std::string rod_path_of(const std::string& rio_name);

// The name the RDD report is written to: -RDD's value, or "mpsrdd.rdd".
std::string rdd_report_name(const command_options& options);
