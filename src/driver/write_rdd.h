#pragma once

// The RDD report written from the merged tree, replacing the previous one
// whole or not at all.

#include <string>

#include "merge/time_shift.h"
#include "report/tree_node.h"

// Writes the merged tree, which it takes, as the RDD report named output,
// headed by the header line built from headers (the ROD reports' header
// lines, which it takes) and start_date. A write error removes the partial
// file and ends the run ("FICERROPN", status 7).
void write_rdd_report(const std::string& output, owing_tree merged, tree_node* headers, const char* start_date);

// The end-of-run release of the shared keyword records.
void release_rdd_report();
