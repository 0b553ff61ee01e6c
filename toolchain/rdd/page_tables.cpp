#include <algorithm>

#include "html.h"
#include "page.h"
#include "run_time.h"
#include "step_results.h"

namespace {

void cell(std::string& out, const std::string& text, const char* cls = nullptr) {
  out += cls ? std::string("<td class=\"") + cls + "\">" : std::string("<td>");
  append_escaped(out, clipped(text, NAME_BYTES));
  out += "</td>";
}

std::string tick_text(const std::optional<clock_record>& c) { return c ? tick_length_text(*c) : "no clock record"; }

std::string evidence(const clock_alignment& c) {
  if (c.disagreeing)
    return std::to_string(c.agreeing) + " records agree, " + std::to_string(c.disagreeing) + " do not";
  if (c.agreeing) return "from " + grouped(static_cast<int64_t>(c.agreeing)) + " records";
  if (c.shift) return "from the clock records";
  return "no record to compare";
}

} // namespace

void append_alignment_table(std::string& out, const page_input& in) {
  merged_tick tick = merged_tick_of(in.clocks);
  std::vector<std::optional<uint32_t>> gaps = rendezvous_gaps(in.lanes, in.testers);
  out += "<section id=\"" + in.id + "alignment\">\n<h2>Clock alignment</h2>\n<p>How the merge brought each tester's clock onto one "
         "time base: ticks of a coarser clock are multiplied by the scale, then every time of the tester is moved later "
         "by the shift. Read from each tester's original ROD report, found again from its source record and checked by "
         "size and CRC-16, and compared record by record with the merged report. The largest rendezvous gap tells how "
         "far apart, on the merged time base, one of the tester's rendezvous lies from the same rendezvous of the "
         "others: 0 when the clocks agree.</p>\n"
         "<table class=\"alignment\">\n<thead><tr><th>Tester</th><th>ROD report</th><th>Clock</th><th>Tick as read</th>"
         "<th>Tick as merged</th><th>Scale</th><th>Shift</th><th>Compared</th><th>Largest rendezvous gap</th></tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < in.testers.size() && i < LANES; ++i) {
    const tester& t = in.testers[i];
    const clock_alignment& c = in.clocks[i];
    out += "<tr data-report=\"" + std::to_string(t.report) + "\" data-available=\"" + (t.rod.available ? "yes" : "no") + "\"";
    if (c.scale) out += " data-scale=\"" + std::to_string(*c.scale) + "\"";
    if (c.shift) out += " data-shift=\"" + std::to_string(*c.shift) + "\"";
    if (gaps[i]) out += " data-gap=\"" + std::to_string(*gaps[i]) + "\"";
    out += ">";
    cell(out, lane_name(t));
    cell(out, t.rod_name.empty() ? "no source record" : t.rod_name + (t.rod.available ? "" : ": " + t.rod.missing));
    cell(out, c.merged ? c.merged->name : std::string("no clock record"));
    if (!t.rod.available) out += "<td class=\"na\" colspan=\"5\">not available</td>";
    else {
      cell(out, tick_text(c.read));
      cell(out, tick_text(c.merged));
      cell(out, c.scale ? "\xC3\x97" + grouped(*c.scale) : std::string("unknown"));
      cell(out, c.shift ? clock_text(*c.shift, tick) : std::string("unknown"));
      cell(out, evidence(c), c.disagreeing ? "warn" : nullptr);
    }
    cell(out, gaps[i] ? clock_text(*gaps[i], tick) : std::string("no rendezvous met"), gaps[i] && *gaps[i] ? "warn" : nullptr);
    out += "</tr>\n";
  }
  out += "</tbody>\n</table>\n";
  if (in.testers.size() > LANES)
    out += "<p class=\"note\">The first " + grouped(LANES) + " of " + grouped(static_cast<int64_t>(in.testers.size())) +
           " testers are shown, to keep the page small.</p>\n";
  out += "</section>\n";
}

namespace {

bool ran(const rdd_report& rdd, int64_t record, uint32_t report) {
  if (record < 0) return false;
  const rdd_record& r = rdd.records[record];
  if (r.stray) return false;
  for (uint32_t k = 0; k < r.origins_count; ++k)
    if (rdd.origins_of(r)[k].report == report) return true;
  return false;
}

std::string item_row_name(const page_input& in, const test_item& item) {
  if (item.ds < 0) return "test item without test step";
  std::string item_name = item_name_of(in.rdd, item);
  return (item_name.empty() ? "" : item_name + " ") + step_name_of(in.rdd, item);
}

// The raw status shows on hover, from data-status: a title in every cell
// would double the table.
void append_status_cell(std::string& out, const step_result& result, const std::string& report) {
  bool merged = result.merged && !result.status.empty();
  out += "<td data-report=\"" + report + "\" data-status=\"";
  append_escaped(out, clipped(result.status, NAME_BYTES));
  out += std::string("\" class=\"") + verdict_name(result.meaning) + (merged ? " merged" : "") + "\">";
  out += verdict_name(result.meaning);
  out += merged ? "*</td>" : "</td>";
}

struct item_row {
  uint32_t index;
  const step_result *results, *results_end;
};

// The step's name heads the row; each tester's cell tells only its status.
// Rows past the first few are hidden until a filter or "show all" asks for
// them: laid out all at once, a long table takes seconds to open.
void append_item_row(std::string& out, const page_input& in, const item_row& row, const merged_tick& tick) {
  const test_item& item = in.lanes.items[row.index];
  int64_t first = item.xi >= 0 ? item.xi : item.ds >= 0 ? item.ds : item.verdict;
  const rdd_record& opening = in.rdd.records[first];
  bool failed = std::any_of(row.results, row.results_end, [](const step_result& r) { return r.meaning == verdict::failed; });
  out += std::string(row.index < ITEM_ROWS_SHOWN ? "<tr" : "<tr hidden") + " id=\"" + in.id + "item-" +
         std::to_string(row.index) + "\" data-depth=\"" + std::to_string(item.depth) + "\"" + (failed ? " class=\"failed\"" : "") + ">";
  cell(out, item_row_name(in, item), ("d" + std::to_string(std::min(item.depth, 4u))).c_str());
  cell(out, opening.timed ? clock_text(opening.time, tick) : std::string());
  const step_result* results = row.results;
  for (uint32_t t = 0; t < in.testers.size() && t < LANES; ++t) {
    while (results != row.results_end && results->tester < t) ++results;
    std::string report = std::to_string(in.testers[t].report);
    if (results == row.results_end || results->tester != t) {
      out += ran(in.rdd, item.xi, in.testers[t].report) ? "<td data-report=\"" + report + "\">no test step</td>" : std::string("<td></td>");
      continue;
    }
    append_status_cell(out, *results, report);
  }
  out += "</tr>\n";
}

// Choices of tester, status and a part of the name, over every listed row.
void append_filter(std::string& out, const page_input& in) {
  out += "<div class=\"filter\" data-table=\"" + in.id + "items-table\" data-shown=\"" + std::to_string(ITEM_ROWS_SHOWN) +
         "\"><label>Tester <select class=\"tester\"><option value=\"\">any</option>";
  for (size_t t = 0; t < in.testers.size() && t < LANES; ++t) {
    out += "<option value=\"" + std::to_string(t) + "\">";
    append_escaped(out, clipped(lane_name(in.testers[t]), NAME_BYTES));
    out += "</option>";
  }
  out += "</select></label> <label>Status <select class=\"status\"><option value=\"\">any</option>";
  for (int v = 0; v < 4; ++v) {
    const char* name = verdict_name(static_cast<verdict>(v));
    out += std::string("<option value=\"") + name + "\">" + name + "</option>";
  }
  out += "</select></label> <label>Name <input type=\"search\" class=\"name\"></label> <span class=\"shown\"></span>"
         "<button type=\"button\" class=\"all\">Show all</button></div>\n";
}

} // namespace

size_t append_item_table(std::string& out, const page_input& in) {
  merged_tick tick = merged_tick_of(in.clocks);
  out += "<section id=\"" + in.id + "items\">\n<h2>Test items</h2>\n<p>Each test item (XI group) with, per tester, the "
         "status (FS field 3) of the test step (DS block) it ran: passed (0), failed (1), inconclusive (2), or unknown; "
         "* when only the merged status, the worst of all testers, is known. The raw status shows on hover.</p>\n";
  std::string table = "<table class=\"items\" id=\"" + in.id + "items-table\">\n<thead><tr><th>Test item</th><th>Time</th>";
  for (size_t t = 0; t < in.testers.size() && t < LANES; ++t) {
    table += "<th>";
    append_escaped(table, clipped(lane_name(in.testers[t]), NAME_BYTES));
    table += "</th>";
  }
  table += "</tr></thead>\n<tbody>\n";
  const step_result* result = in.results.data();
  const step_result* results_end = result + in.results.size();
  size_t rows = 0, table_start = table.size();
  for (; rows < in.lanes.items.size() && table.size() - table_start < ITEM_TABLE_BYTES; ++rows) {
    while (result != results_end && result->item < rows) ++result;
    const step_result* item_end = result;
    while (item_end != results_end && item_end->item == rows) ++item_end;
    append_item_row(table, in, {static_cast<uint32_t>(rows), result, item_end}, tick);
    result = item_end;
  }
  if (rows < in.lanes.items.size())
    out += "<p class=\"note\">The first " + grouped(static_cast<int64_t>(rows)) + " of " +
           grouped(static_cast<int64_t>(in.lanes.items.size())) + " test items are listed, to keep the page small.</p>\n";
  append_filter(out, in);
  out += table;
  out += "</tbody>\n</table>\n</section>\n";
  return rows;
}
