#pragma once

// The ROD report reader: one record per line, a keyword and its quoted
// fields, each kept as read.

#include <cstdio>
#include <string_view>
#include <vector>

#include "report/tree_node.h"
#include "util/crc16.h"

// The whole stream as a chain of records, one per line (see line_pieces.h);
// null when empty. With digest, the size and CRC-16 of the bytes read.
tree_node* read_records(FILE* stream, file_digest* digest = nullptr);
// One line (its text, newline included when present) as a record; scratch
// holds the fields on the way. Converting, the fields its kind holds as
// numbers become numbers.
record* split_line(std::string_view line, std::vector<field>* scratch, bool converting);
