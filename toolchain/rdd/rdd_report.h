#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report_line.h"

// Where a merged record came from: the report number of a ROD report and the
// record's line among the lines after that report's header line.
struct origin {
  uint32_t report;
  uint32_t line;
};

struct rdd_record {
  uint32_t line;          // line in the RDD report, the header being line 1
  uint32_t text_begin;    // the line's text within rdd_report::text
  uint32_t text_length;
  char key[2];
  uint16_t fields_before_tail;
  uint32_t origins_begin; // its origins within rdd_report::origins, the first
  uint32_t origins_count; // being the report whose record it was
  bool timed;
  uint32_t time;
  // Its tail names a report that is no tester: a record of a shape the
  // merger does not expect, whose numbers moved into that tail.
  bool stray;

  std::string_view keyword() const { return std::string_view(key, 2); }
};

// The record that identifies a ROD report: its file name, directory relative
// to the merger's working directory, absolute directory, size and CRC-16.
struct source_record {
  uint32_t report;
  uint32_t line;
  std::string name, relative_dir, absolute_dir;
  int64_t size;
  int64_t crc;
};

struct rdd_report {
  std::string path;
  std::string text;
  std::string version, plan, date; // each empty when the header gives none
  std::vector<rdd_record> records;
  std::vector<origin> origins;
  std::vector<source_record> sources;
  // Report numbers, in order, of the records the merger writes whole (source
  // and SC records among them): those are never merged, so their tails
  // cannot be misread.
  std::vector<uint32_t> testers;

  std::string_view line_of(const rdd_record& r) const { return std::string_view(text).substr(r.text_begin, r.text_length); }
  const origin* origins_of(const rdd_record& r) const { return origins.data() + r.origins_begin; }
  uint32_t report_of(const rdd_record& r) const { return origins[r.origins_begin].report; }
  report_line fields_of(const rdd_record& r) const;
  bool is_tester(uint32_t report) const;
  std::string plan_shown() const { return plan.empty() ? "(no plan)" : plan; }
};

// Reads and checks an RDD report, "-" being standard input; throws
// tool_failure naming the file and the line when it is not a complete RDD
// report, or naming the file when it is no regular file.
rdd_report read_rdd_report(const std::string& path);
