#pragma once

// Record numbering and the report filter: every record gets its report and
// line numbers at its end, and the records the RDD report does not carry go.

#include <cstdint>

#include "report/tree_node.h"

// The default filter keeps the default vocabulary; the time filter, used
// when the TIME flag is set, also drops the XI/DS/DT/XE constructs.
enum class report_filter { default_filter, time_filter };

// Gives every record the report number and its line number, from 1.
tree_node* number_records(int32_t report_number, tree_node* chain);
// The report number as records hold it; one out of their range is an
// internal error.
uint16_t held_report_number(int32_t report_number);
tree_node* filter_report(tree_node* chain, report_filter filter);
// The rows of letters whose records the filter drops whatever follows them
// (a CO record's fate is the record after its run), a bit per row, NO_ROW's
// at bit 63.
uint64_t rows_dropped_alone(report_filter filter);
// Keeps or marks the run of CO records starting at node, by the keyword of
// the record after the run; returns the run's last node.
tree_node* check_co_record(tree_node* node);
