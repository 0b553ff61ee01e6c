#include "html.h"
#include "page.h"

namespace {

void cell(std::string& out, const std::string& text, const char* cls = nullptr) {
  out += cls ? std::string("<td class=\"") + cls + "\">" : std::string("<td>");
  append_escaped(out, text);
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
  out += "<section id=\"alignment\">\n<h2>Clock alignment</h2>\n<p>How the merge brought each tester's clock onto one "
         "time base: ticks of a coarser clock are multiplied by the scale, then every time of the tester is moved later "
         "by the shift. Read from each tester's original ROD report, found again from its source record and checked by "
         "size and CRC-16, and compared record by record with the merged report.</p>\n"
         "<table class=\"alignment\">\n<thead><tr><th>Tester</th><th>ROD report</th><th>Clock</th><th>Tick as read</th>"
         "<th>Tick as merged</th><th>Scale</th><th>Shift (merged ticks)</th><th>Shift (tester's ticks)</th>"
         "<th>Compared</th></tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < in.testers.size(); ++i) {
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
  out += "</tbody>\n</table>\n</section>\n";
}

namespace {

struct step_status {
  std::string text;
  bool merged = false;
};

// A tester's own FS status is in its ROD report; the merged FS record only
// keeps the worst of all testers.
step_status status_of(const page_input& in, const rdd_record& fs, const tester& t) {
  const origin* o = in.rdd.origins_of(fs);
  report_line split;
  if (t.rod.available)
    for (uint32_t k = 0; k < fs.origins_count; ++k)
      if (o[k].report == t.report && split_report_line(t.rod.record_line(o[k].line), split) && split.keyword == "FS" &&
          split.fields.size() > 2)
        return {field_text(split.fields[2]), false};
  split = in.rdd.fields_of(fs);
  return {fs.fields_before_tail > 2 ? field_text(split.fields[2]) : std::string("?"), true};
}

bool ran(const rdd_report& rdd, int64_t record, uint32_t report) {
  if (record < 0) return false;
  const rdd_record& r = rdd.records[record];
  for (uint32_t k = 0; k < r.origins_count; ++k)
    if (rdd.origins_of(r)[k].report == report) return true;
  return false;
}

std::string item_name(const page_input& in, const test_item& item) {
  if (item.ds < 0) return "test item without test step";
  report_line ds = in.rdd.fields_of(in.rdd.records[item.ds]);
  std::string name = field_text(ds.fields[0]);
  return ds.fields.size() > 3 ? field_text(ds.fields[3]) + " " + name : name;
}

void append_item_row(std::string& out, const page_input& in, const test_item& item) {
  int64_t first = item.xi >= 0 ? item.xi : item.ds >= 0 ? item.ds : item.verdict;
  const rdd_record& opening = in.rdd.records[first];
  out += "<tr data-depth=\"" + std::to_string(item.depth) + "\">";
  cell(out, item_name(in, item), ("d" + std::to_string(std::min(item.depth, 4u))).c_str());
  cell(out, opening.timed ? grouped(opening.time) : std::string());
  for (const tester& t : in.testers) {
    if (!ran(in.rdd, item.ds, t.report)) {
      out += ran(in.rdd, item.xi, t.report) ? "<td data-report=\"" + std::to_string(t.report) + "\">no test step</td>"
                                            : std::string("<td></td>");
      continue;
    }
    report_line ds = in.rdd.fields_of(in.rdd.records[item.ds]);
    step_status status = item.fs >= 0 ? status_of(in, in.rdd.records[item.fs], t) : step_status{"?", true};
    out += "<td data-report=\"" + std::to_string(t.report) + "\" data-status=\"" + escaped(status.text) + "\">";
    append_escaped(out, field_text(ds.fields[0]));
    out += " <span class=\"status s" + escaped(status.text) + "\"";
    if (status.merged) out += " title=\"merged status of all testers (ROD report not available)\"";
    out += ">";
    append_escaped(out, status.text + (status.merged ? "*" : ""));
    out += "</span></td>";
  }
  out += "</tr>\n";
}

} // namespace

void append_item_table(std::string& out, const page_input& in) {
  out += "<section id=\"items\">\n<h2>Test items</h2>\n<p>Each test item (XI group) with, per tester, the test step "
         "(DS block) it ran and its status (FS field 3; * when only the merged status is known).</p>\n";
  if (in.lanes.items.size() > ITEM_ROWS)
    out += "<p class=\"note\">The first " + grouped(ITEM_ROWS) + " of " +
           grouped(static_cast<int64_t>(in.lanes.items.size())) + " test items are listed, to keep the page small.</p>\n";
  out += "<table class=\"items\">\n<thead><tr><th>Test item</th><th>Time</th>";
  for (const tester& t : in.testers) {
    out += "<th>";
    append_escaped(out, lane_name(t));
    out += "</th>";
  }
  out += "</tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < in.lanes.items.size() && i < ITEM_ROWS; ++i) append_item_row(out, in, in.lanes.items[i]);
  out += "</tbody>\n</table>\n</section>\n";
}
