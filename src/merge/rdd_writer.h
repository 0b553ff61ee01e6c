#pragma once

// The RDD report: a header line, then the merged tree record by record, each
// written whole, without the last fields it was read with, or not at all, as
// its kind says; repeated IE names are numbered first.

#include "report/objet.h"

// The output chain: the header record, then the nodes of merged. The header
// list (the header records of all ROD reports) is released.
objet* make_rdd_header(objet* header_list, objet* merged, const char* date);
// Equal IE names after the first become "name 2", "name 3", ...
void number_duplicate_names(objet* output);
// Writes every record by its class: whole, trimmed or not written.
void write_rdd_records(objet* out, objet* output);
