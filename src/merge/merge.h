#pragma once

#include "merge/merge_cache.h"
#include "report/objet.h"

// Merge a shaped and aligned report into merged (nothing for the first
// report); both return the new merged report. The first and last sections
// are collected; the bodies are merged group by group (merge_report) or item
// by item in time order (merge_report_by_time). What is left of the incoming
// report is released. A cache kept from one merge to the next (see
// merge_cache) spares the walks over what is merged already.
objet* merge_report(objet* merged, objet* report, merge_cache* cache = nullptr);
objet* merge_report_by_time(objet* merged, objet* report, merge_cache* cache = nullptr);
