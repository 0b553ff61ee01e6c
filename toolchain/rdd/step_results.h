#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rdd_report.h"
#include "testers.h"
#include "timeline.h"

// What a test step's status (FS field 3) says. The merge keeps the worst of
// its testers' statuses, "1" before "2" before "0": "2" ranks between a
// failure and a pass, a step that ran but was judged neither way.
enum class verdict : uint8_t { passed, failed, inconclusive, unknown };

verdict verdict_of(std::string_view status);
const char* verdict_name(verdict v);

// A test step as one tester ran it.
struct step_result {
  uint32_t item;           // in timeline::items
  uint32_t tester;         // in the testers
  std::string status;      // FS field 3 as written; empty when not known
  bool merged = false;     // the worst of all testers': the ROD report is not available
  verdict meaning = verdict::unknown;
  uint32_t start = 0, end = 0;  // on the merged time base
  std::vector<uint32_t> errors; // this tester's ER records directly inside the step
};

// In the order of the items, then of the testers.
std::vector<step_result> step_results(const rdd_report& rdd, const timeline& lanes, const std::vector<tester>& testers);

// The test item a step belongs to (DS field 4) and the step's name (DS field 1).
std::string item_name_of(const rdd_report& rdd, const test_item& item);
std::string step_name_of(const rdd_report& rdd, const test_item& item);
