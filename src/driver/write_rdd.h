#pragma once

// The RDD report written from the merged tree, replacing the previous one
// whole or not at all.

#include "report/objet.h"

// Writes the merged tree, which it takes, as the RDD report, headed by the
// header line built from report_headers (which it takes) and start_date, to
// dest_value or "mpsrdd.rdd". Returns the output file name (a
// copy the caller hands to release_rdd_report after the bridge run). A write
// error removes the partial file and ends the run ("FICERROPN", status 7).
const char* write_rdd_report(const char* dest_value, objet* merged);

// The name the RDD report is written to: dest_value, or "mpsrdd.rdd".
const char* rdd_report_name(const char* dest_value);

// The end-of-run releases: the output name and the shared keyword cells.
void release_rdd_report(const char* output_name);
