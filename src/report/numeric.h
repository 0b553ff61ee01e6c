#pragma once

// Numeric conversion: the fields the vocabulary names for each kind become
// numbers.

#include <cstdint>
#include <string_view>

#include "report/tree_node.h"

// A quoted field ("-12", "??") as a number: as "%ld" reads it after the
// opening quote (blanks, sign, digits; no number reads as 0); "??" reads
// as 0.
int64_t parse_number(std::string_view quoted);
// A number's low 32 bits.
inline int32_t low_32_bits(int64_t number) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(number)));
}
inline int32_t parse_long(std::string_view quoted) { return low_32_bits(parse_number(quoted)); }

// Whether a kind's field holds a time: its own, or one matched between
// reports. Such a field as written must lie in the signed 32-bit range.
bool holds_time(uint32_t kind, uint32_t position);

// Turns the numeric fields of the timed record kinds into numbers; a time
// written outside the signed 32-bit range ends the run ("TIMERANGE"),
// naming rod_path and the record's line.
void convert_numeric_fields(tree_node* report, const char* rod_path);
