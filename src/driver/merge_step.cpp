#include "driver/merge_step.h"

#include "driver/run_state.h"
#include "merge/align.h"
#include "merge/merge.h"
#include "merge/rdd_writer.h"
#include "merge/rendezvous_marks.h"
#include "merge/time_points.h"

void merge_shaped_report(objet* report, const char* rod_path, int report_number, bool time_variant) {
  mark_blocks_without_rd(report);
  align_reports(merged_report, report, &merged_times);
  postprocess_report(report, rod_path, report_number);
  join_time_base(merged_report, &merged_times, report);
  stored_time_offset = merged_times.pending;
  merge_cache* cache = &merged_times.cache;
  merged_report = time_variant ? merge_report_by_time(merged_report, report, cache)
                               : merge_report(merged_report, report, cache);
  stored_time_offset = 0;
}

void settle_merged_report() { settle_times(merged_report, &merged_times); }
