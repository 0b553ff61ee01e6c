#pragma once

// Before a report joins the merged tree, it loses the test plan records
// that precede its first test item, and gains the record that says which
// ROD report it came from: the file's name, its directory (relative to the
// working directory, and absolute), its size, its CRC-16 and the report
// number.

#include <cstdint>

#include "report/tree_node.h"
#include "util/crc16.h"

// The working directory the source records name fits this area, its zero
// byte included.
enum { WORKING_DIRECTORY_AREA = 5000 };

// Where a report comes from: the ROD report's path, the report's number,
// and the size and CRC-16 of the bytes the reader read.
struct report_source {
  const char* rod_path;
  int32_t report_number;
  file_digest bytes;
};

// Drops the CF records met before the first XI record and adds, after the
// first IE record, the CF source record of the ROD report.
void postprocess_report(tree_node* report, const report_source& source);
void drop_leading_cf(tree_node* report);
void add_source_record(tree_node* report, const report_source& source);
