#pragma once

#include <cstdint>

#include "report/objet.h"

// Before the merge: drops the CF records met before the first XI record and
// adds, after the first IE record, the CF source record of the ROD report.
void postprocess_report(objet* report, const char* rod_path, int32_t report_number);
void drop_leading_cf(objet* report);
void add_source_record(objet* report, const char* rod_path, int32_t report_number);

// The output chain: the header record, then the nodes of merged. The header
// list (the header records of all ROD reports) is released.
objet* make_rdd_header(objet* header_list, objet* merged, const char* date);
// Equal IE names after the first become "name 2", "name 3", ...
void number_duplicate_names(objet* output);
// Writes every record by its class: whole, trimmed or not written.
void write_rdd_records(objet* out, objet* output);
