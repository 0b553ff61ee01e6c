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
  // The merged status stands in: the tester's ROD report does not give its
  // own, or gives one the RDD report contradicts.
  bool merged = false;
  verdict meaning = verdict::unknown;
  uint32_t start = 0, end = 0;  // on the merged time base
  std::vector<uint32_t> errors; // this tester's ER records directly inside the step
  bool timed = false;           // drawn on the timeline: start and end are known
};

// A test step as the RDD report judges it: the merged status of all its
// testers, which the testers' own statuses never override.
struct merged_step {
  uint32_t item;      // in timeline::items
  std::string status; // FS field 3 as written; empty when not known
  verdict meaning = verdict::unknown;
  // Verified ROD reports give statuses that could not merge into this one:
  // the RDD report was edited, and its status stands for every tester.
  bool overruled = false;
};

struct step_table {
  std::vector<merged_step> steps;   // in the order of the items
  std::vector<step_result> results; // in the order of the items, then of the testers
};

step_table step_results(const rdd_report& rdd, const timeline& lanes, const std::vector<tester>& testers);

// The status the merge makes of the testers' statuses, in the order it met them.
std::string merge_of_statuses(const std::vector<std::string>& statuses);

// The test item a step belongs to (DS field 4) and the step's name (DS field 1).
std::string item_name_of(const rdd_report& rdd, const test_item& item);
std::string step_name_of(const rdd_report& rdd, const test_item& item);
