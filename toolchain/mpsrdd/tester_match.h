#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "run_view.h"

// How the testers of two runs were paired: by ROD report name and scenario
// (SC field 1) where that pair is met once in each run, then the others by
// scenario in their order in each run, "by position".
struct tester_match {
  std::vector<int64_t> new_of_old; // -1: of the old run only
  std::vector<int64_t> old_of_new; // -1: of the new run only
  // How each tester is named in the comparison: its scenario, with its ROD
  // report where the scenario is met more than once; a pair takes the new
  // run's name.
  std::vector<std::string> old_names, new_names;
  uint64_t by_report = 0, by_position = 0;
};

tester_match match_testers(const run_view& old_run, const run_view& new_run);
