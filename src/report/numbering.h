#pragma once

// Record numbering and the report filter: every record gets its report and
// line numbers at its end, and the records the RDD report does not carry go.

#include <cstdint>

#include "report/objet.h"

// The default filter keeps the default vocabulary; the time filter, used
// when the TIME flag is set, also drops the XI/DS/DT/XE constructs.
enum class report_filter { default_filter, time_filter };

// Gives every record the report number and its line number, from 1.
objet* number_records(int32_t report_number, objet* chain);
objet* filter_report(objet* chain, report_filter filter);
// Keeps or marks the run of CO records starting at node, by the keyword of
// the record after the run; returns the run's last node.
objet* check_co_record(objet* node);
