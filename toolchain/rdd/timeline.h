#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alignment.h"
#include "rdd_report.h"
#include "testers.h"

// Rows of a tester's lane, top to bottom.
enum class mark_row : uint8_t { item, step, verdict, activity, rendezvous, error };

// One drawn record or block in one tester's lane. A block shared by several
// testers has one mark in each of their lanes, ending at the last time of
// that tester's records inside it.
struct mark {
  uint32_t record; // the opening record (for a test item, its XI record)
  uint32_t report;
  uint32_t start, end;
  mark_row row;
  uint8_t depth;   // test items and steps nested in a test step
};

// A group of the merged report: test item (XI block), test step (DS block,
// FS its closing record) and verdict (DT or XE block); absent parts are -1.
struct test_item {
  int64_t xi = -1, ds = -1, fs = -1, verdict = -1;
  unsigned depth = 0;
};

// The n-th RD records of one name in every lane that has that many.
struct rendezvous {
  std::string name;
  std::vector<uint32_t> marks;
};

struct timeline {
  std::vector<uint32_t> reports; // one lane each, in report order
  std::vector<mark> marks;
  std::vector<test_item> items;  // in the order of the report
  std::vector<rendezvous> meetings;
  uint32_t first_time = 0, last_time = 0;
  uint64_t stray_records = 0;   // records of no tester's lane (rdd_record::stray)
  uint64_t timeless_records = 0; // timed records whose time is lost (time_from_rod)
};

timeline build_timeline(const rdd_report& rdd, const std::vector<tester>& testers,
                        const std::vector<clock_alignment>& clocks);

// For each tester, the largest gap in merged ticks between one of its
// rendezvous and the same rendezvous (same name, same occurrence) of the
// other testers; nothing for a tester that meets nobody.
std::vector<std::optional<uint32_t>> rendezvous_gaps(const timeline& lanes, const std::vector<tester>& testers);
