#include "driver/report_walk.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <thread>

#include "merge/merged_report.h"
#include "merge/report_survey.h"
#include "report/node_memory.h"
#include "report/source_record.h"
#include "util/ordered_jobs.h"

namespace {
// A report ready to join the merged tree: its shaped tree, its header line
// and survey, and the size and CRC-16 of the bytes read.
struct shaped_report {
  tree_node* tree;
  tree_node* header;
  report_survey survey;
  file_digest read;
};

shaped_report read_and_shape(const run_plan& plan, size_t index) {
  const tester_plan& tester = plan.testers[index];
  // The merges of the earlier reports are done or under way meanwhile.
  std::optional<small_paged_slabs> last_of_several;
  if (index > 0 && index + 1 == plan.testers.size()) last_of_several.emplace();
  shaped_report shaped{};
  record_chain header;
  shaped.tree = shape_report(tester.rod.c_str(), tester.report_number, plan.time_variant, &header, &shaped.read);
  shaped.header = header.take();
  shaped.survey = survey_report(shaped.tree);
  return shaped;
}
}  // namespace

merged_run walk_reports(const run_plan& plan, size_t threads) {
  const size_t workers = threads > 1 ? threads - 1 : 0;
  // A thread done reading gives back the slab room it was cutting from,
  // before the merges the run's peak comes with.
  ordered_jobs<shaped_report> reports(
      plan.testers.size(), workers, workers + 1,
      [&plan](size_t index) { return read_and_shape(plan, index); }, release_uncut_slab_room);
  merged_report merged(plan.time_variant);
  record_chain headers;
  for (const tester_plan& tester : plan.testers) {
    const shaped_report shaped = reports.take();
    headers.push(shaped.header);
    const report_source source{tester.rod.c_str(), tester.report_number, shaped.read};
    merged.align(shaped.tree, shaped.survey, source);
    postprocess_report(shaped.tree, source);
    merged.merge(shaped.tree);
  }
  return {merged.take_tree(), headers};
}

size_t reading_threads() {
  if (const char* asked = getenv("MPSMERGE_THREADS")) {
    char* end = nullptr;
    const long threads = strtol(asked, &end, 10);
    if (end != asked && *end == '\0' && threads >= 1 && threads <= MAX_THREADS) return static_cast<size_t>(threads);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : std::min<size_t>(cores, DEFAULT_THREADS);
}
