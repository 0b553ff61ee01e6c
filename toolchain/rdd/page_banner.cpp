#include <array>

#include "html.h"
#include "page.h"
#include "run_time.h"

namespace {

struct run_verdict {
  std::array<size_t, 4> steps{}; // by verdict
  size_t errors = 0;
  std::vector<size_t> failed_steps, errors_of; // per tester
};

run_verdict verdict_of_run(const page_input& in) {
  run_verdict v;
  v.failed_steps.resize(in.testers.size());
  v.errors_of.resize(in.testers.size());
  for (const step_result& r : in.results) {
    ++v.steps[static_cast<size_t>(r.meaning)];
    v.failed_steps[r.tester] += r.meaning == verdict::failed;
  }
  for (const rdd_record& r : in.rdd.records)
    if (r.keyword() == "ER" && !r.stray) {
      ++v.errors;
      ++v.errors_of[tester_index(in.testers, in.rdd.report_of(r))];
    }
  return v;
}

const char* overall(const run_verdict& v) {
  if (v.steps[1] || v.errors) return "failed";
  if (v.steps[2]) return "inconclusive";
  if (v.steps[3]) return "unknown";
  return v.steps[0] ? "passed" : "no test step";
}

std::string plural(size_t n, const std::string& one) { return grouped(static_cast<int64_t>(n)) + " " + one + (n == 1 ? "" : "s"); }

void append_failing_testers(std::string& out, const page_input& in, const run_verdict& v) {
  std::vector<std::string> lines;
  for (size_t t = 0; t < in.testers.size(); ++t) {
    if (!v.failed_steps[t] && !v.errors_of[t]) continue;
    std::string line = t < lane_count(in) ? "<a href=\"#" + in.id + "lane-" + std::to_string(in.testers[t].report) + "\">" : "";
    append_escaped(line, clipped(lane_name(in.testers[t]), NAME_BYTES));
    line += std::string(t < lane_count(in) ? "</a>" : "") + ": " + plural(v.failed_steps[t], "failed step") + ", " +
            plural(v.errors_of[t], "ER record");
    lines.push_back(std::move(line));
  }
  if (lines.empty()) return;
  out += "<div class=\"failing-testers\"><h3>Failing testers</h3>";
  append_collapsed_list(out, lines, lines.size(), "failing testers");
  out += "</div>\n";
}

void append_failed_steps(std::string& out, const page_input& in, const page_layout& layout, size_t item_rows) {
  merged_tick tick = merged_tick_of(in.clocks);
  std::vector<std::string> lines;
  size_t count = 0;
  for (const step_result& r : in.results) {
    if (r.meaning != verdict::failed || ++count > FAILURE_LINKS) continue;
    const test_item& item = in.lanes.items[r.item];
    uint32_t report = in.testers[r.tester].report;
    const rdd_record& ds = in.rdd.records[item.ds];
    bool drawn = failed_step_drawn(layout, static_cast<uint32_t>(item.ds), report);
    std::string line = drawn ? "<a href=\"#" + step_anchor(in, ds.line, report) + "\">" : "";
    std::string name = item_name_of(in.rdd, item);
    append_escaped(line, clipped((name.empty() ? "" : name + " ") + step_name_of(in.rdd, item), NAME_BYTES));
    line += std::string(drawn ? "</a>" : "") + " by ";
    append_escaped(line, clipped(lane_name(in.testers[r.tester]), NAME_BYTES));
    if (r.start || r.end) line += " at " + clock_text(r.start, tick);
    if (!r.errors.empty()) line += ", " + plural(r.errors.size(), "ER record");
    if (r.item < item_rows) line += " \xC2\xB7 <a href=\"#" + in.id + "item-" + std::to_string(r.item) + "\">in the table</a>";
    lines.push_back(std::move(line));
  }
  if (lines.empty()) return;
  out += "<div class=\"failed-steps\"><h3>Failed steps</h3>";
  append_collapsed_list(out, lines, count, "failed steps");
  out += "</div>\n";
}

} // namespace

void append_banner(std::string& out, const page_input& in, const page_layout& layout, size_t item_rows) {
  run_verdict v = verdict_of_run(in);
  const char* verdict_text = overall(v);
  out += "<section class=\"banner\" id=\"" + in.id + "verdict\" data-verdict=\"" + verdict_text + "\">\n<h2>Verdict: " + verdict_text + "</h2>\n<p class=\"counts\">";
  for (size_t k = 0; k < v.steps.size(); ++k) {
    const char* name = verdict_name(static_cast<verdict>(k));
    out += std::string(k ? " \xC2\xB7 " : "") + "<span class=\"count " + name + "\" data-count=\"" + std::to_string(v.steps[k]) +
           "\">" + grouped(static_cast<int64_t>(v.steps[k])) + " " + name + "</span>";
  }
  out += " of " + plural(in.results.size(), "test step") + " as the testers ran them; " + plural(v.errors, "ER record") +
         "</p>\n<label class=\"switch\"><input type=\"checkbox\" class=\"failures-only\"> failures only</label>\n";
  append_failing_testers(out, in, v);
  append_failed_steps(out, in, layout, item_rows);
  out += "</section>\n";
}
