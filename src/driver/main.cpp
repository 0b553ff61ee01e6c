#include <QCoreApplication>

#include "cmdline/cmd_line.h"
#include "driver/application.h"
#include "driver/banner.h"
#include "driver/name_checks.h"
#include "driver/pairing.h"
#include "driver/postpro_runs.h"
#include "driver/report_walk.h"
#include "driver/rio_locks.h"
#include "driver/run_state.h"
#include "driver/write_rdd.h"
#include "messages/catalogue.h"
#include "messages/emit.h"
#include "report/record_kinds.h"
#include "util/checked.h"
#include "util/environment.h"
#include "util/out_of_memory.h"
#include "util/standard_descriptors.h"

int main(int argc, char** argv) {
  open_standard_descriptors();
  end_runs_out_of_memory_here();
  QCoreApplication app = make_application(argc, argv);
  silence_qt_messages();
  install_translators(app, {"mps_", "vrntident_", "cab_"});
  prepare_out_of_memory_text();
  fill_message_catalogue();
  incorrect_run_count = 0;
  init_keyword_cells();
  env_copy("MPS_DIR", mps_dir_value, sizeof mps_dir_value);

  if (!analyse_command_line(argc, argv, postpro_options, &run_options))
    msg_fatal("INITPBRLM", QString(), QString());
  fill_cmd_line();

  show_banner();
  start_date = checked_strdup(current_time_text());

  refuse_unusable_names();
  const bool time_variant_asked = time_option(cmd_line) != 0;
  const bool plans_differ = identify_and_pair(time_variant_asked);
  run_postprocessors();
  const bool time_variant = time_variant_asked || plans_differ;

  objet* merged = walk_reports(time_variant);
  release_rio_files();

  const char* output_name = write_rdd_report(dest_option(cmd_line), merged);
  run_bridge(output_name, mps_dir_value);
  release_rdd_report(output_name);

  return end_of_run_summary();
}
