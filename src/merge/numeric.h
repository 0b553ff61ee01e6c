#pragma once

// Numeric conversion: the fields the vocabulary names for each kind become
// number cells.

#include "report/objet.h"

// Turns the numeric fields of the timed record kinds into long cells.
void convert_numeric_fields(objet* report);
