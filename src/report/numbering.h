#pragma once

// Record numbering and the report filter: every record gets its report and
// line numbers at its end, and the records the RDD report does not carry go.

#include "report/objet.h"

// Variant A keeps the default vocabulary; variant B, used when the TIME flag
// is set, also drops the XI/DS/DT/XE constructs.
enum filter_variant { FILTER_A, FILTER_B };

// Appends to every record a copy of the report number (kind 3) and its line
// number from 1 (kind 2); the keyword cell's count takes the field count.
objet* number_records(objet* report_number, objet* chain);
objet* filter_report(objet* chain, filter_variant variant);
// Keeps or marks the run of CO records starting at node, by the keyword of
// the record after the run; returns the run's last node.
objet* check_co_record(objet* node);
