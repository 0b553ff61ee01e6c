#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rdd_report.h"
#include "testers.h"

// A tester's clock as read from its SY record.
struct clock_record {
  std::string name, label;
  int64_t whole = 0, ticks = 0, ticks_per_whole = 0, tick_length = 0;
};

// How the merge moved one tester's clock: the SY record as read in its ROD
// report and as merged, the factor its ticks were multiplied by and the
// number of merged ticks its times were moved by.
struct clock_alignment {
  uint32_t report = 0;
  std::optional<clock_record> read, merged;
  bool rod_available = false;
  std::optional<int64_t> scale;
  std::optional<int64_t> shift;
  uint64_t agreeing = 0;    // merged records whose time gives that shift
  uint64_t disagreeing = 0; // merged records whose time gives another one
};

// One row per tester, in the same order.
std::vector<clock_alignment> align_clocks(const rdd_report& rdd, const std::vector<tester>& testers);

std::optional<clock_record> clock_of(const report_line& sy);

// The time a record had in its tester's ROD report, brought onto the merged
// time base: the merger drops each record's last two fields, and they may
// hold its time. Nothing when the ROD report or the tester's alignment is
// not known.
std::optional<uint32_t> time_from_rod(const rdd_report& rdd, const rdd_record& r, const tester& t,
                                      const clock_alignment& clock);

// How well the merged clocks agree, per tester: the largest gap, in merged
// ticks, between one of its rendezvous and the same rendezvous (same name,
// same occurrence) of the other testers, at the times the RDD report gives
// them (RD field 5). Nothing for a tester that shares no rendezvous.
std::vector<std::optional<uint64_t>> rendezvous_gaps(const rdd_report& rdd, const std::vector<tester>& testers);
