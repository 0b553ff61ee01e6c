#pragma once

#include "report/objet.h"

// Turns the numeric fields of the timed record kinds into long cells.
void convert_numeric_fields(objet* report);
