#include "html.h"
#include "page.h"
#include "step_results.h"

namespace {

void cell(std::string& out, const std::string& text, const char* cls = nullptr) {
  out += cls ? std::string("<td class=\"") + cls + "\">" : std::string("<td>");
  append_escaped(out, clipped(text, NAME_BYTES));
  out += "</td>";
}

std::string tick_text(const std::optional<clock_record>& c) {
  if (!c) return "no clock record";
  return grouped(c->tick_length) + " (" + c->label + ")";
}

// The shift in the tester's own ticks, which are `scale` merged ticks long.
std::string own_units(int64_t shift, int64_t scale, const std::string& label) {
  if (scale <= 1 || shift % scale == 0) return grouped(shift / (scale > 0 ? scale : 1)) + " " + label;
  char text[64];
  snprintf(text, sizeof text, "%.3f", static_cast<double>(shift) / static_cast<double>(scale));
  return std::string(text) + " " + label;
}

std::string evidence(const clock_alignment& c) {
  if (c.disagreeing)
    return std::to_string(c.agreeing) + " records agree, " + std::to_string(c.disagreeing) + " do not";
  if (c.agreeing) return "from " + grouped(static_cast<int64_t>(c.agreeing)) + " records";
  if (c.shift) return "from the clock records";
  return "no record to compare";
}

} // namespace

void append_alignment_table(std::string& out, const page_input& in) {
  out += "<section id=\"" + in.id + "alignment\">\n<h2>Clock alignment</h2>\n<p>How the merge brought each tester's clock onto one "
         "time base: ticks of a coarser clock are multiplied by the scale, then every time of the tester is moved later "
         "by the shift. Read from each tester's original ROD report, found again from its source record and checked by "
         "size and CRC-16, and compared record by record with the merged report.</p>\n"
         "<table class=\"alignment\">\n<thead><tr><th>Tester</th><th>ROD report</th><th>Clock</th><th>Tick as read</th>"
         "<th>Tick as merged</th><th>Scale</th><th>Shift (merged ticks)</th><th>Shift (tester's ticks)</th>"
         "<th>Compared</th></tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < in.testers.size() && i < LANES; ++i) {
    const tester& t = in.testers[i];
    const clock_alignment& c = in.clocks[i];
    out += "<tr data-report=\"" + std::to_string(t.report) + "\" data-available=\"" + (t.rod.available ? "yes" : "no") + "\"";
    if (c.scale) out += " data-scale=\"" + std::to_string(*c.scale) + "\"";
    if (c.shift) out += " data-shift=\"" + std::to_string(*c.shift) + "\"";
    out += ">";
    cell(out, lane_name(t));
    cell(out, t.rod_name.empty() ? "no source record" : t.rod_name + (t.rod.available ? "" : ": " + t.rod.missing));
    cell(out, c.merged ? c.merged->name : std::string("no clock record"));
    if (!t.rod.available) {
      out += "<td class=\"na\" colspan=\"6\">not available</td></tr>\n";
      continue;
    }
    std::string merged_label = c.merged ? c.merged->label : std::string("ticks");
    cell(out, tick_text(c.read));
    cell(out, tick_text(c.merged));
    cell(out, c.scale ? "\xC3\x97" + grouped(*c.scale) : std::string("unknown"));
    cell(out, c.shift ? grouped(*c.shift) + " " + merged_label : std::string("unknown"));
    cell(out, c.shift && c.scale ? own_units(*c.shift, *c.scale, c.read ? c.read->label : merged_label) : std::string("unknown"));
    cell(out, evidence(c), c.disagreeing ? "warn" : nullptr);
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

void append_status(std::string& out, const step_result& result) {
  std::string hover = result.status.empty() ? "no FS status could be read" : "FS status " + result.status;
  if (result.merged && !result.status.empty())
    hover += ": the merged status of all testers (the ROD report is not available)";
  out += "<span class=\"status ";
  out += verdict_name(result.meaning);
  out += "\" title=\"";
  append_escaped(out, clipped(hover, NAME_BYTES));
  out += "\">";
  out += verdict_name(result.meaning);
  if (result.merged && !result.status.empty()) out += "*";
  out += "</span>";
}

void append_item_row(std::string& out, const page_input& in, uint32_t item_index, const step_result* results,
                     const step_result* results_end) {
  const test_item& item = in.lanes.items[item_index];
  int64_t first = item.xi >= 0 ? item.xi : item.ds >= 0 ? item.ds : item.verdict;
  const rdd_record& opening = in.rdd.records[first];
  out += "<tr data-depth=\"" + std::to_string(item.depth) + "\">";
  cell(out, item_row_name(in, item), ("d" + std::to_string(std::min(item.depth, 4u))).c_str());
  cell(out, opening.timed ? grouped(opening.time) : std::string());
  std::string step = clipped(step_name_of(in.rdd, item), NAME_BYTES);
  for (uint32_t t = 0; t < in.testers.size() && t < LANES; ++t) {
    while (results != results_end && results->tester < t) ++results;
    if (results == results_end || results->tester != t) {
      uint32_t report = in.testers[t].report;
      out += ran(in.rdd, item.xi, report) ? "<td data-report=\"" + std::to_string(report) + "\">no test step</td>"
                                          : std::string("<td></td>");
      continue;
    }
    out += "<td data-report=\"" + std::to_string(in.testers[t].report) + "\" data-status=\"";
    append_escaped(out, clipped(results->status, NAME_BYTES));
    out += "\">";
    append_escaped(out, step);
    out += " ";
    append_status(out, *results);
    out += "</td>";
  }
  out += "</tr>\n";
}

} // namespace

void append_item_table(std::string& out, const page_input& in) {
  out += "<section id=\"" + in.id + "items\">\n<h2>Test items</h2>\n<p>Each test item (XI group) with, per tester, the "
         "test step (DS block) it ran and what its status (FS field 3) says: passed (0), failed (1), inconclusive (2), "
         "or unknown; * when only the merged status, the worst of all testers, is known. The raw status shows on "
         "hover.</p>\n";
  std::string table = "<table class=\"items\">\n<thead><tr><th>Test item</th><th>Time</th>";
  for (size_t t = 0; t < in.testers.size() && t < LANES; ++t) {
    table += "<th>";
    append_escaped(table, clipped(lane_name(in.testers[t]), NAME_BYTES));
    table += "</th>";
  }
  table += "</tr></thead>\n<tbody>\n";
  const step_result* result = in.results.data();
  const step_result* results_end = result + in.results.size();
  size_t rows = 0, table_start = table.size();
  for (; rows < in.lanes.items.size() && rows < ITEM_ROWS && table.size() - table_start < ITEM_TABLE_BYTES; ++rows) {
    while (result != results_end && result->item < rows) ++result;
    const step_result* item_end = result;
    while (item_end != results_end && item_end->item == rows) ++item_end;
    append_item_row(table, in, static_cast<uint32_t>(rows), result, item_end);
    result = item_end;
  }
  if (rows < in.lanes.items.size())
    out += "<p class=\"note\">The first " + grouped(static_cast<int64_t>(rows)) + " of " +
           grouped(static_cast<int64_t>(in.lanes.items.size())) + " test items are listed, to keep the page small.</p>\n";
  out += table;
  out += "</tbody>\n</table>\n</section>\n";
}
