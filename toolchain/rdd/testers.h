#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rdd_report.h"
#include "rod_source.h"

// One virtual tester of the run: a report number, the scenario of its SC
// record and its ROD report as named by its source record.
struct tester {
  uint32_t report = 0;
  std::string scenario, description; // SC fields 1 and 2
  std::string rod_name;              // empty without source record
  rod_source rod;
};

// One per tester of the report, in order; looks for every ROD report again.
std::vector<tester> testers_of(const rdd_report& rdd);

// Position of a tester's report number among the testers.
size_t tester_index(const std::vector<tester>& testers, uint32_t report);

std::string lane_name(const tester& t);

// A tester has verdicts of its own only through a ROD report that is still
// the one its source record describes; otherwise only the merged ones are known.
inline bool verdicts_known(const tester& t) { return t.rod.available; }
