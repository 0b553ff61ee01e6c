#pragma once

// Record numbering and the report filter: every record gets its report and
// line numbers at its end, and the records the RDD report does not carry go.

#include <cstdint>

#include "report/objet.h"

// Variant A keeps the default vocabulary; variant B, used when the TIME flag
// is set, also drops the XI/DS/DT/XE constructs.
enum filter_variant { FILTER_A, FILTER_B };

// Gives every record the report number and its line number, from 1.
objet* number_records(int32_t report_number, objet* chain);
objet* filter_report(objet* chain, filter_variant variant);
// Keeps or marks the run of CO records starting at node, by the keyword of
// the record after the run; returns the run's last node.
objet* check_co_record(objet* node);
