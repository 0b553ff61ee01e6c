#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "compare.h"
#include "html.h"
#include "page.h"

namespace {

void cells(std::string& out, std::initializer_list<std::string> texts) {
  out += "<tr>";
  for (const std::string& text : texts) {
    out += "<td>";
    append_escaped(out, clipped(text, NAME_BYTES));
    out += "</td>";
  }
  out += "</tr>\n";
}

template <typename T, typename F>
void rows(std::string& out, const char* id, std::initializer_list<const char*> columns, const T* begin, const T* end, F row) {
  out += "<table class=\"";
  out += id;
  out += "\">\n<thead><tr>";
  for (const char* c : columns) out += std::string("<th>") + c + "</th>";
  out += "</tr></thead>\n<tbody>\n";
  for (const T* item = begin; item != end; ++item) row(out, *item);
  out += "</tbody>\n</table>\n";
}

// A section per kind of change: its count, its first rows, the others
// listed folded away, so that the timelines stay near.
template <typename T, typename F>
void table(std::string& out, const char* id, const char* heading, std::initializer_list<const char*> columns,
           const listed<T>& kind, F row, const std::string& note = "") {
  const size_t SHOWN = 10;
  out += "<section id=\"";
  out += id;
  out += "\">\n<h2>";
  out += heading;
  out += " <small>" + grouped(static_cast<int64_t>(kind.count)) + "</small></h2>\n";
  if (!note.empty()) out += "<p class=\"note\">" + escaped(note) + "</p>\n";
  if (kind.count == 0) out += "<p>None.</p>\n";
  const T *first = kind.first.data(), *end = first + kind.first.size(), *folded = first + std::min(SHOWN, kind.first.size());
  if (kind.count) rows(out, id, columns, first, folded, row);
  if (folded != end) {
    out += "<details><summary>" + grouped(end - folded) + " more";
    if (kind.count > kind.first.size()) out += " of the first " + grouped(end - first);
    out += " (" + grouped(static_cast<int64_t>(kind.count)) + " in all)</summary>\n";
    rows(out, id, columns, folded, end, row);
    out += "</details>\n";
  }
  out += "</section>\n";
}

// The report's folder made absolute, without resolving links: two runs are
// often two reports of one name in two folders.
std::string folder_of(const std::string& path) {
  if (path == "-") return "standard input";
  std::error_code failed;
  std::filesystem::path absolute = std::filesystem::absolute(path, failed);
  std::filesystem::path folder = (failed ? std::filesystem::path(path) : absolute.lexically_normal()).parent_path();
  return folder.empty() ? "." : folder.string();
}

// "lift.rdd in /runs/monday, Mon Dec  7 22:00:00 2026": what tells two runs apart.
std::string run_name(const run_view& run) {
  std::string name = run.path == "-" ? "standard input" : file_name_of(run.path) + " in " + folder_of(run.path);
  return name + ", " + (run.rdd.date.empty() ? "no date" : run.rdd.date);
}

void run_facts(std::string& out, const char* side, const run_view& run) {
  out += "<dt>";
  out += side;
  out += "</dt><dd>";
  append_escaped(out, clipped(run_name(run) + ": " + run.rdd.plan_shown() + ", " + std::to_string(run.testers.size()) +
                                  " testers, " + std::to_string(run.results.size()) + " test steps run",
                              4 * NAME_BYTES));
  out += "</dd>\n";
}

// Both timelines on one axis where their ticks compare: the script keeps
// their views alike, in the unit given (nanoseconds per tick, or ticks).
void timeline_of(std::string& out, const char* side, const run_view& run, const char* id,
                 std::optional<int64_t> joint_unit) {
  out += "<h2 class=\"run\">";
  out += side;
  out += ": ";
  append_escaped(out, clipped(run_name(run), 2 * NAME_BYTES));
  out += "</h2>\n";
  if (joint_unit) out += "<div class=\"joint\" data-unit=\"" + std::to_string(*joint_unit) + "\">\n";
  append_timeline(out, page_input_of(run, id));
  if (joint_unit) out += "</div>\n";
}

std::string threshold_note(const run_differences& d) {
  if (!d.lengths) return "The runs' merged ticks are of no known length and unlike: step lengths are not compared.";
  return "Listed when a step's length changed by more than " + std::to_string(CHANGE_PERCENT) +
         " % of the old one and by more than one merged tick (" + length_text(d.lengths->least, *d.lengths) +
         "), which rounding alone can make; the largest changes first.";
}

// "slower by 500 ms (+21.3 %)".
std::string timing_text(const timing_change& t, const length_unit& unit) {
  int64_t change = t.change();
  std::string text = std::string(change > 0 ? "slower by " : "faster by ") + length_text(change > 0 ? change : -change, unit);
  if (t.then_length == 0) return text;
  char percent[32];
  snprintf(percent, sizeof percent, " (%+.1f %%)", 100.0 * static_cast<double>(change) / static_cast<double>(t.then_length));
  return text + percent;
}

void append_timings(std::string& out, const run_view& old_run, const run_view& new_run, const run_differences& d) {
  merged_tick then = merged_tick_of(old_run.clocks), now = merged_tick_of(new_run.clocks);
  length_unit unit = d.lengths.value_or(length_unit{});
  table(out, "timings", "Steps slower or faster", {"Test item", "Test step", "Tester", "Old start", "Old length",
        "New start", "New length", "Change"}, d.timings,
        [&](std::string& o, const timing_change& t) {
          cells(o, {t.item, t.step, t.tester, clock_text(t.then_start, then), length_text(t.then_length, unit),
                    clock_text(t.now_start, now), length_text(t.now_length, unit), timing_text(t, unit)});
        }, threshold_note(d));
}

// How far the tester's clock moved, as a time where the runs' ticks compare.
std::string shift_moved(const clock_change& c, const std::optional<length_unit>& unit) {
  std::optional<int64_t> moved;
  if (unit && c.then->shift && c.now->shift) moved = change_in_unit(*c.then->shift, *c.now->shift, *unit);
  return moved ? change_text(*moved, *unit) : "cannot be told";
}

void append_clocks(std::string& out, const run_differences& d) {
  table(out, "clocks", "Clocks moved", {"Tester", "Old", "New", "Shift moved by"}, d.moved,
        [&](std::string& o, const clock_change& c) {
          cells(o, {c.tester, clock_text(c.then), clock_text(c.now), shift_moved(c, d.lengths)});
        }, "Testers whose clock the merge scaled or shifted otherwise than in the old run.");
}

// What a reviewer asks first, each a link to its section.
void append_change_counts(std::string& out, const run_differences& d) {
  const struct {
    const char* id;
    const char* what;
    uint64_t count;
  } COUNTS[] = {{"changed", "Statuses changed", d.changed.count},
                {"timings", "Steps slower or faster", d.timings.count},
                {"clocks", "Clocks moved", d.moved.count},
                {"testers", "Testers of one run only", d.testers.count},
                {"one-run", "Of one run only", d.one_run.count},
                {"errors", "ER records of one run only", d.errors.count}};
  out += "<dt>Changes</dt><dd class=\"changes\">";
  for (size_t i = 0; i < std::size(COUNTS); ++i)
    out += std::string(i ? " \xC2\xB7 " : "") + "<a href=\"#" + COUNTS[i].id + "\">" + COUNTS[i].what + ": " +
           grouped(static_cast<int64_t>(COUNTS[i].count)) + "</a>";
  out += "</dd>\n";
}

void append_compare_header(std::string& out, const run_view& old_run, const run_view& new_run, const run_differences& d) {
  out += "<header>\n<h1>Two runs compared <small>";
  out += d.verdicts_differ() ? "verdicts differ" : "same verdicts";
  out += "</small></h1>\n<dl class=\"facts\">\n";
  run_facts(out, "Old", old_run);
  run_facts(out, "New", new_run);
  if (d.plans_differ) out += "<dt>Note</dt><dd>The runs are of different test plans.</dd>\n";
  append_change_counts(out, d);
  out += "</dl>\n</header>\n";
}

void append_verdict_tables(std::string& out, const run_differences& d) {
  table(out, "testers", "Testers of one run only", {"Run", "Tester"}, d.testers, [](std::string& o, const one_run_only& t) {
    cells(o, {t.in_new ? "new" : "old", t.what});
  });
  table(out, "changed", "Statuses changed", {"Test item", "Test step", "Tester", "Old", "New"}, d.changed,
        [](std::string& o, const status_change& c) {
          cells(o, {c.item, c.step, c.tester.empty() ? "merged" : c.tester, status_text(c.was, c.then), status_text(c.is, c.now)});
        });
}

void append_one_run_tables(std::string& out, const run_differences& d) {
  table(out, "one-run", "Of one run only", {"Run", "What"}, d.one_run, [](std::string& o, const one_run_only& x) {
    cells(o, {x.in_new ? "new" : "old", x.what});
  });
  table(out, "errors", "ER records of one run only", {"Run", "Tester", "Line", "Text"}, d.errors,
        [](std::string& o, const error_change& e) {
          cells(o, {e.in_new ? "new" : "gone", e.tester, std::to_string(e.line), e.text});
        });
}

} // namespace

std::string render_compare_page(const run_view& old_run, const run_view& new_run, const run_differences& d) {
  std::string out;
  append_page_start(out, "Comparison: " + run_name(old_run) + " \xE2\x86\x92 " + run_name(new_run));
  append_compare_header(out, old_run, new_run, d);
  append_verdict_tables(out, d);
  append_timings(out, old_run, new_run, d);
  append_clocks(out, d);
  append_one_run_tables(out, d);
  std::optional<int64_t> old_unit, new_unit;
  if (d.lengths) old_unit = d.lengths->old_tick, new_unit = d.lengths->new_tick;
  else out += "<p class=\"note\">The runs' merged ticks are of no known length and unlike: each timeline has its own axis.</p>\n";
  timeline_of(out, "Old", old_run, "old-", old_unit);
  timeline_of(out, "New", new_run, "new-", new_unit);
  out += "<script>";
  out += COMPARE_SCRIPT;
  out += "</script>\n";
  append_page_end(out);
  return out;
}
