#include "driver/merge_step.h"

#include "driver/run_state.h"
#include "merge/align.h"
#include "merge/merge.h"
#include "merge/rdd_writer.h"

void merge_shaped_report(objet* report, const char* rod_path, int report_number, bool time_variant) {
  align_reports(merged_report, report);
  postprocess_report(report, rod_path, report_number);
  merged_report = time_variant ? merge_report_by_time(merged_report, report)
                               : merge_report(merged_report, report);
}
