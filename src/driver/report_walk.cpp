#include "driver/report_walk.h"

#include "merge/merged_report.h"
#include "report/source_record.h"

merged_run walk_reports(const run_plan& plan) {
  merged_report merged(plan.time_variant);
  record_chain headers;
  for (const tester_plan& tester : plan.testers) {
    const char* rod_path = tester.rod.c_str();
    file_digest read;
    tree_node* report = shape_report(rod_path, tester.report_number, plan.time_variant, &headers, &read);
    const report_source source{rod_path, tester.report_number, read};
    merged.align(report, source);
    postprocess_report(report, source);
    merged.merge(report);
  }
  return {merged.take_tree(), headers};
}
