#pragma once

// Numeric conversion: the fields the vocabulary names for each kind become
// numbers.

#include <cstdint>
#include <string_view>

#include "report/objet.h"

// A quoted field ("-12", "??") as a number: as "%ld" reads it after the
// opening quote (blanks, sign, digits; no number reads as 0), its low 32
// bits kept; "??" reads as 0.
int32_t parse_long(std::string_view quoted);

// Turns the numeric fields of the timed record kinds into numbers.
void convert_numeric_fields(objet* report);
