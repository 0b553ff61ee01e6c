#pragma once

// The ROD report reader: one record per line, a keyword and its quoted
// fields, each kept as read.

#include "report/objet.h"

enum { ROD_LINE_BUFFER_SIZE = 5120 };
static_assert(ROD_LINE_BUFFER_SIZE / 2 <= UINT16_MAX, "a keyword cell counts a line's fields in 16 bits");

// The whole stream as a chain of records, one per line; null when empty.
objet* read_records(objet* stream);
// One line (its text and length, newline included when present) as a record.
objet* split_line(objet* line);
