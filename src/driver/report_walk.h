#pragma once

// The main phase of a run: every ROD report read, shaped and merged, in the
// order of the RIO files on the command line.

#include "report/objet.h"

// Reads, shapes and merges every ROD report of rod_file_list, in slot order
// (report n comes from slot n - 1); returns the merged tree, every time
// settled.
objet* walk_reports(bool time_variant);
