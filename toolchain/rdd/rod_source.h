#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rdd_report.h"

// The original ROD report of one tester, found again from its source record
// and read only when its size and CRC-16 are still those of the record.
struct rod_source {
  std::string path;    // where it was looked for first
  bool available = false;
  std::string missing; // why it is not available
  std::string text;
  std::vector<uint32_t> line_begins; // line n after the header starts at line_begins[n]

  // Line n after the header line (numbered from 1 as the merger does), or
  // nothing when the report has no such line.
  std::string_view record_line(uint32_t n) const;
};

rod_source open_rod_source(const source_record& source);

uint16_t file_crc16(std::string_view content);
