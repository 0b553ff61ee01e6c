#include "driver/report_walk.h"

#include "driver/merge_step.h"
#include "driver/run_state.h"
#include "driver/shape_report.h"

void walk_reports(bool time_variant) {
  objet* read_mode = make_string("r");
  for (int slot = 0; slot < ROD_SLOT_COUNT; ++slot) {
    const char* rod_path = rod_file_list[slot];
    if (!rod_path[0]) continue;
    const int report_number = slot + 1;
    objet* report = shape_report(rod_path, report_number, read_mode, time_variant);
    merge_shaped_report(report, rod_path, report_number, time_variant);
  }
  free_objet(read_mode);
  settle_merged_report();
}
