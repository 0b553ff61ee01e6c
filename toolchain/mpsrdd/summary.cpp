#include "summary.h"

#include "gate.h"
#include "html.h"

namespace {

const size_t TESTER_LINES = 1000;
const size_t STEP_LINES = 100;

struct verdict_count {
  uint64_t steps = 0, errors = 0;
  uint64_t by_verdict[4] = {};

  void add(verdict v) {
    ++steps;
    ++by_verdict[static_cast<int>(v)];
  }
};

std::string counted(const verdict_count& c) {
  std::string text = std::to_string(c.steps) + " steps";
  for (verdict v : {verdict::passed, verdict::failed, verdict::inconclusive, verdict::unknown})
    text += ", " + std::to_string(c.by_verdict[static_cast<int>(v)]) + " " + verdict_name(v);
  return text;
}

std::string with_errors(const verdict_count& c) { return counted(c) + ", " + std::to_string(c.errors) + " ER"; }

// How far its rendezvous lie from the same ones of the other testers.
std::string gap_told(const run_view& run, size_t t) {
  const std::optional<uint64_t>& gap = run.rendezvous_gaps[t];
  if (!gap) return "; no rendezvous shared";
  const clock_alignment& c = run.clocks[t];
  return "; rendezvous gap " + std::to_string(*gap) + " " + (c.merged ? printable(clipped(c.merged->label, 64)) : "ticks");
}

// A tester without verdicts of its own shows the merged ones of its steps, said to be merged.
std::string tester_line(const run_view& run, size_t t, const verdict_count& c) {
  const tester& who = run.testers[t];
  std::string name = printable(clipped(lane_name(who), 256));
  if (verdicts_known(who)) return name + ": " + with_errors(c) + gap_told(run, t) + "\n";
  std::string why = who.rod_name.empty() ? "no source record" : printable(clipped(who.rod_name, 256)) + ": " + who.rod.missing;
  return name + ": verdicts unknown (" + why + "); merged: " + with_errors(c) + gap_told(run, t) + "\n";
}

struct run_count {
  std::vector<verdict_count> testers;
  verdict_count all, merged;
  uint64_t steps_unknown = 0; // steps of testers whose verdicts are unknown
};

run_count count_run(const run_view& run) {
  run_count c{std::vector<verdict_count>(run.testers.size()), {}, {}, 0};
  for (const step_result& r : run.results) {
    c.testers[r.tester].add(r.meaning);
    if (verdicts_known(run.testers[r.tester])) c.all.add(r.meaning);
    else ++c.steps_unknown;
  }
  for (const merged_step& s : run.steps) c.merged.add(s.meaning);
  for (const rdd_record& r : run.rdd.records)
    if (r.keyword() == "ER" && !r.stray) {
      ++c.testers[tester_index(run.testers, run.rdd.report_of(r))].errors;
      ++c.all.errors;
    }
  return c;
}

std::string failed_without_errors_told(const run_view& run) {
  std::vector<uint32_t> failed = failed_without_errors(run);
  std::string out = ", " + std::to_string(failed.size()) + " failed without ER\n";
  for (size_t i = 0; i < failed.size() && i < STEP_LINES; ++i) {
    const test_item& item = run.lanes.items[run.steps[failed[i]].item];
    std::string name = item_name_of(run.rdd, item), step = step_name_of(run.rdd, item);
    out += "failed without ER: " + printable(clipped(name.empty() ? step : name + " " + step, 256)) + " (RDD line " +
           std::to_string(run.rdd.records[item.fs].line) + ")\n";
  }
  if (failed.size() > STEP_LINES) out += "and " + std::to_string(failed.size() - STEP_LINES) + " more failed without ER\n";
  return out;
}

} // namespace

std::string render_summary(const run_view& run) {
  run_count c = count_run(run);
  std::string out = printable(clipped(run.rdd.plan_shown(), 256)) + ", " + printable(run.rdd.date) + ", " +
                    printable(run.path) + ": " + std::to_string(run.testers.size()) + " testers\n";
  for (size_t t = 0; t < c.testers.size() && t < TESTER_LINES; ++t) out += tester_line(run, t, c.testers[t]);
  if (c.testers.size() > TESTER_LINES) out += "and " + std::to_string(c.testers.size() - TESTER_LINES) + " more testers\n";
  out += "all: " + with_errors(c.all);
  if (c.steps_unknown) out += "; " + std::to_string(c.steps_unknown) + " steps of testers whose verdicts are unknown";
  return out + "\nmerged: " + counted(c.merged) + failed_without_errors_told(run);
}
