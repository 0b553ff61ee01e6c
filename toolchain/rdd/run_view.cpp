#include "run_view.h"

run_view read_run(const std::string& rdd_path) {
  run_view run;
  run.path = rdd_path;
  run.rdd = read_rdd_report(rdd_path);
  run.testers = testers_of(run.rdd);
  run.clocks = align_clocks(run.rdd, run.testers);
  run.rendezvous_gaps = rendezvous_gaps(run.rdd, run.testers);
  run.lanes = build_timeline(run.rdd, run.testers, run.clocks);
  step_table table = step_results(run.rdd, run.lanes, run.testers);
  run.steps = std::move(table.steps);
  run.results = std::move(table.results);
  return run;
}

std::string file_name_of(const std::string& path) { return path.substr(path.rfind('/') + 1); }
