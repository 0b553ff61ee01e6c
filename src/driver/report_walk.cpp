#include "driver/report_walk.h"

#include "driver/run_state.h"
#include "driver/shape_report.h"
#include "merge/merged_report.h"
#include "report/source_record.h"

objet* walk_reports(bool time_variant) {
  merged_report merged(time_variant);
  for (int slot = 0; slot < ROD_SLOT_COUNT; ++slot) {
    const char* rod_path = rod_file_list[slot];
    if (!rod_path[0]) continue;
    const int report_number = slot + 1;
    file_digest read;
    objet* report = shape_report(rod_path, report_number, time_variant, &read);
    const report_source source{rod_path, report_number, read};
    merged.align(report, source);
    postprocess_report(report, source);
    merged.merge(report);
  }
  return merged.take_tree();
}
