#include "summary.h"

#include "html.h"

namespace {

const size_t TESTER_LINES = 1000;

struct verdict_count {
  uint64_t steps = 0, errors = 0;
  uint64_t by_verdict[4] = {};
};

std::string line_of(const std::string& name, const verdict_count& c) {
  std::string line = name + ": " + std::to_string(c.steps) + " steps";
  for (verdict v : {verdict::passed, verdict::failed, verdict::inconclusive, verdict::unknown})
    line += ", " + std::to_string(c.by_verdict[static_cast<int>(v)]) + " " + verdict_name(v);
  return line + ", " + std::to_string(c.errors) + " ER\n";
}

} // namespace

std::string render_summary(const run_view& run) {
  std::vector<verdict_count> counts(run.testers.size());
  verdict_count all;
  for (const step_result& r : run.results)
    for (verdict_count* c : {&counts[r.tester], &all}) {
      ++c->steps;
      ++c->by_verdict[static_cast<int>(r.meaning)];
    }
  for (const rdd_record& r : run.rdd.records)
    if (r.keyword() == "ER" && !r.stray) {
      ++counts[tester_index(run.testers, run.rdd.report_of(r))].errors;
      ++all.errors;
    }
  std::string out = printable(clipped(run.rdd.plan, 256)) + ", " + printable(run.rdd.date) + ", " +
                    printable(run.path) + ": " + std::to_string(run.testers.size()) + " testers\n";
  for (size_t t = 0; t < counts.size() && t < TESTER_LINES; ++t)
    out += line_of(printable(clipped(lane_name(run.testers[t]), 256)), counts[t]);
  if (counts.size() > TESTER_LINES) out += "and " + std::to_string(counts.size() - TESTER_LINES) + " more testers\n";
  return out + line_of("all", all);
}
