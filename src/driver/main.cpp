#include <QCoreApplication>

#include <optional>
#include <string>

#include "cmdline/cmd_line.h"
#include "driver/application.h"
#include "driver/banner.h"
#include "driver/name_checks.h"
#include "driver/pairing.h"
#include "driver/postpro_runs.h"
#include "driver/report_walk.h"
#include "driver/rio_locks.h"
#include "driver/write_rdd.h"
#include "messages/catalogue.h"
#include "messages/emit.h"
#include "report/record_kinds.h"
#include "util/checked.h"
#include "util/environment.h"
#include "util/large_blocks.h"
#include "util/out_of_memory.h"
#include "util/standard_descriptors.h"

// The longest MPS_DIR taken, as the area it was once copied to held.
enum { MPS_DIR_AREA = 2200 };

int main(int argc, char** argv) {
  open_standard_descriptors();
  end_runs_out_of_memory_here();
  keep_large_blocks_mapped();
  QCoreApplication app = make_application(argc, argv);
  silence_qt_messages();
  install_translators(app, {"mps_", "vrntident_", "cab_"});
  prepare_out_of_memory_text();
  fill_message_catalogue();
  init_keyword_records();
  // The toolchain's programs are found there; read once, before the command line.
  const std::optional<std::string> mps_dir = environment_value("MPS_DIR", MPS_DIR_AREA);

  std::optional<command_options> options = analyse_command_line(argc, argv);
  if (!options) msg_fatal("INITPBRLM", QString(), QString());

  show_banner();
  const std::string start_date = current_time_text();

  refuse_unusable_names(*options);
  const run_plan plan = identify_and_pair(std::move(*options));
  const uint32_t incorrect_runs = run_postprocessors(plan, mps_dir);

  merged_run merged = walk_reports(plan, reading_threads());
  release_rio_files();

  write_rdd_report(plan.output, merged.tree, merged.headers.take(), start_date.c_str());
  run_bridge(plan.output.c_str(), mps_dir.value_or("").c_str());
  release_rdd_report();

  return end_of_run_summary(incorrect_runs);
}
