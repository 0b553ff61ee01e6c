#pragma once

// The RDD report: a header line, then the merged tree record by record, each
// written whole, without the last fields it was read with, or not at all, as
// its kind says; repeated IE names are numbered first.

#include <cstdio>

#include "merge/time_shift.h"
#include "report/tree_node.h"

// The header line, from the first of the ROD reports' header records (the
// list, which is released) and the run's date.
record* make_rdd_header(tree_node* header_list, const char* date);
// Equal IE names after the first become "name 2", "name 3", ...
void number_duplicate_names(tree_node* merged);
// Writes the header, then every record by its class: whole, trimmed or not
// written, each paying the shift the tree owes as it comes.
void write_rdd_records(FILE* out, const record& header, owing_tree merged);
