#pragma once

#include "merge/time_batch.h"
#include "report/objet.h"

// Merge a shaped and aligned report into merged (nothing for the first
// report); both return the new merged report. The first and last sections
// are collected; the bodies are merged group by group (merge_report) or item
// by item in time order (merge_report_by_time). What is left of the incoming
// report is released. A body order kept from one merge to the next spares
// merge_report_by_time a walk over the merged body.
objet* merge_report(objet* merged, objet* report);
objet* merge_report_by_time(objet* merged, objet* report, time_order* body_order = nullptr);
