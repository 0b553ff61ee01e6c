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
void table(std::string& out, const char* id, const char* heading, std::initializer_list<const char*> columns,
           const listed<T>& kind, F row) {
  out += "<section id=\"";
  out += id;
  out += "\">\n<h2>";
  out += heading;
  out += " <small>" + grouped(static_cast<int64_t>(kind.count)) + "</small></h2>\n";
  if (kind.count == 0) {
    out += "<p>None.</p>\n</section>\n";
    return;
  }
  if (kind.count > kind.first.size())
    out += "<p class=\"note\">The first " + grouped(static_cast<int64_t>(kind.first.size())) + " are listed.</p>\n";
  out += "<table class=\"";
  out += id;
  out += "\">\n<thead><tr>";
  for (const char* c : columns) out += std::string("<th>") + c + "</th>";
  out += "</tr></thead>\n<tbody>\n";
  for (const T& item : kind.first) row(out, item);
  out += "</tbody>\n</table>\n</section>\n";
}

void run_facts(std::string& out, const char* side, const run_view& run) {
  out += "<dt>";
  out += side;
  out += "</dt><dd>";
  append_escaped(out, clipped(file_name_of(run.path) + ": " + run.rdd.plan + ", " + run.rdd.date + ", " +
                                  std::to_string(run.testers.size()) + " testers, " +
                                  std::to_string(run.results.size()) + " test steps run",
                              4 * NAME_BYTES));
  out += "</dd>\n";
}

void timeline_of(std::string& out, const char* side, const run_view& run, const char* id) {
  out += "<h2 class=\"run\">";
  out += side;
  out += ": ";
  append_escaped(out, clipped(file_name_of(run.path), NAME_BYTES));
  out += "</h2>\n";
  append_timeline(out, page_input_of(run, id));
}

} // namespace

std::string render_compare_page(const run_view& old_run, const run_view& new_run, const run_differences& d) {
  std::string out;
  append_page_start(out, "Comparison: " + file_name_of(old_run.path) + " \xE2\x86\x92 " + file_name_of(new_run.path));
  out += "<header>\n<h1>Two runs compared <small>";
  out += d.verdicts_differ() ? "verdicts differ" : "same verdicts";
  out += "</small></h1>\n<dl class=\"facts\">\n";
  run_facts(out, "Old", old_run);
  run_facts(out, "New", new_run);
  if (d.plans_differ) out += "<dt>Note</dt><dd>The runs are of different test plans.</dd>\n";
  out += "</dl>\n</header>\n";
  table(out, "testers", "Testers of one run only", {"Run", "Tester"}, d.testers, [](std::string& o, const one_run_only& t) {
    cells(o, {t.in_new ? "new" : "old", t.what});
  });
  table(out, "changed", "Statuses changed", {"Test item", "Test step", "Tester", "Old", "New"}, d.changed,
        [](std::string& o, const status_change& c) {
          cells(o, {c.item, c.step, c.tester.empty() ? "merged" : c.tester, status_text(c.was, c.then), status_text(c.is, c.now)});
        });
  table(out, "one-run", "Of one run only", {"Run", "What"}, d.one_run, [](std::string& o, const one_run_only& x) {
    cells(o, {x.in_new ? "new" : "old", x.what});
  });
  table(out, "errors", "ER records of one run only", {"Run", "Tester", "Line", "Text"}, d.errors,
        [](std::string& o, const error_change& e) {
          cells(o, {e.in_new ? "new" : "gone", e.tester, std::to_string(e.line), e.text});
        });
  listed<clock_change> clocks;
  for (const clock_change& c : d.clocks) clocks.add(c);
  table(out, "clocks", "Clocks", {"Tester", "Old", "New"}, clocks, [](std::string& o, const clock_change& c) {
    cells(o, {c.tester, clock_text(c.then), clock_text(c.now)});
  });
  timeline_of(out, "Old", old_run, "old-");
  timeline_of(out, "New", new_run, "new-");
  append_page_end(out);
  return out;
}
