#pragma once

// The ROD report reader: one record per line, a keyword and its quoted
// fields, each kept as read.

#include "report/objet.h"
#include "util/crc16.h"

// The whole stream as a chain of records, one per line (see line_pieces.h);
// null when empty. With digest, the size and CRC-16 of the bytes read.
objet* read_records(objet* stream, file_digest* digest = nullptr);
// One line (its text and length, newline included when present) as a record.
objet* split_line(objet* line);
