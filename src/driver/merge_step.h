#pragma once

#include "report/objet.h"

// The last steps of one report's road: alignment with merged_report, the
// source record, and the merge into merged_report (by time when
// time_variant is set).
void merge_shaped_report(objet* report, const char* rod_path, int report_number, bool time_variant);
// Gives every time of merged_report its value, once all reports are merged.
void settle_merged_report();
