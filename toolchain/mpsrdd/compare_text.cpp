#include "compare.h"
#include "html.h"

namespace {

const size_t LINES_OF_A_KIND = 100;
const size_t TEXT_LIMIT = 256;

std::string shown(const std::string& text) { return printable(clipped(text, TEXT_LIMIT)); }

template <typename T, typename F> void lines(std::string& out, const listed<T>& kind, F line_of) {
  size_t told = 0;
  for (const T& item : kind.first) {
    if (told++ == LINES_OF_A_KIND) break;
    out += line_of(item) + "\n";
  }
  if (kind.count > std::min<uint64_t>(kind.first.size(), LINES_OF_A_KIND))
    out += "... and " + std::to_string(kind.count - std::min<uint64_t>(kind.first.size(), LINES_OF_A_KIND)) +
           " more\n";
}

std::string run_line(const char* side, const run_view& run) {
  return std::string(side) + ": " + shown(run.path) + " (" + shown(run.rdd.plan_shown()) + ", " + shown(run.rdd.date) + ")\n";
}

} // namespace

std::string render_compare_text(const run_view& old_run, const run_view& new_run, const run_differences& d) {
  std::string out = run_line("old", old_run) + run_line("new", new_run);
  if (d.plans_differ) out += "note: the runs are of different test plans\n";
  out += "testers matched: " + std::to_string(d.matched_by_report) + " by ROD report and scenario, " +
         std::to_string(d.matched_by_position) + " by position\n";
  lines(out, d.testers, [](const one_run_only& t) { return std::string(t.in_new ? "added: " : "missing: ") + shown(t.what); });
  lines(out, d.changed, [](const status_change& c) {
    std::string whose = c.tester.empty() ? "merged" : "tester " + shown(c.tester);
    return "changed: " + shown(c.item.empty() ? c.step : c.item + " " + c.step) + ", " + whose + ": " +
           status_text(c.was, shown(c.then)) + " -> " + status_text(c.is, shown(c.now));
  });
  lines(out, d.one_run, [](const one_run_only& o) {
    return std::string(o.in_new ? "only in new: " : "only in old: ") + shown(o.what);
  });
  lines(out, d.errors, [](const error_change& e) {
    return std::string(e.in_new ? "new ER: " : "gone ER: ") + "tester " + shown(e.tester) + ", line " +
           std::to_string(e.line) + ": " + shown(e.text);
  });
  lines(out, d.moved, [](const clock_change& c) {
    return "clock moved: tester " + shown(c.tester) + ": " + clock_text(c.then) + " -> " + clock_text(c.now);
  });
  out += d.verdicts_differ() ? "verdicts differ\n" : "same verdicts\n";
  return out;
}
