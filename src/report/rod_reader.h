#pragma once

// The ROD report reader: one record per line, a keyword and its quoted
// fields, each kept as read.

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "report/numbering.h"
#include "report/tree_node.h"
#include "util/crc16.h"

// The work of the passes after it that the reader did as it went, on every
// line after the first: a kind that classification accepts stamped, and the
// fields the kind holds as numbers converted. A pass with none of its work
// left is saved; one with any left goes over the report as it would have.
struct reader_work {
  bool every_kind_stamped = true;
  bool every_field_converted = true;

  void take(const reader_work& line) {
    every_kind_stamped &= line.every_kind_stamped;
    every_field_converted &= line.every_field_converted;
  }
};

// The whole stream as a chain of records, one per line (see line_pieces.h);
// null when empty. With digest, the size and CRC-16 of the bytes read; with
// done, the work it did for the passes. Numbered, every line after the first
// gets the report number given and its line number, from 1, as numbering
// would give the lines after the header. With early_filter, the lines after
// the header that the filter drops whatever follows them make no record
// (their line numbers still count): the filter itself must still go over
// what is read.
constexpr int32_t NOT_NUMBERED = -1;
tree_node* read_records(FILE* stream, file_digest* digest = nullptr, reader_work* done = nullptr,
                        int32_t report_number = NOT_NUMBERED, const report_filter* early_filter = nullptr);
// One line (its text, newline included when present) as a record; scratch
// holds the fields on the way. Converting, the fields its kind holds as
// numbers become numbers and the kind is stamped; done takes what was left.
record* split_line(std::string_view line, std::vector<field>* scratch, bool converting, reader_work* done = nullptr);
