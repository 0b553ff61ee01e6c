#include <algorithm>
#include <cmath>
#include <cstdint>

#include "html.h"
#include "page.h"
#include "page_legend.h"
#include "run_time.h"

namespace {

const int LABEL_WIDTH = 210;
const int AXIS_HEIGHT = 24;
const int LANE_HEIGHT = 60;
const int LANE_STEP = 64;
const size_t MOST_DENSITY_BINS = 1000;

struct row_box {
  int y, height;
};

row_box box_of(const mark& m) {
  static const row_box ROWS[] = {{3, 8}, {13, 13}, {28, 7}, {37, 9}, {48, 9}, {1, 58}};
  row_box b = ROWS[static_cast<int>(m.row)];
  int inset = std::min<int>(m.depth, 3);
  if (m.row == mark_row::item || m.row == mark_row::step) b = {b.y + inset, b.height - 2 * inset};
  return b;
}

const char* row_class(mark_row row) {
  static const char* const NAMES[] = {"item", "step", "verdict", "activity", "rendezvous", "error"};
  return NAMES[static_cast<int>(row)];
}

std::string time_attributes(uint32_t start, uint32_t end) {
  std::string a = " data-t=\"" + std::to_string(start) + "\"";
  if (end != start) a += " data-e=\"" + std::to_string(end) + "\"";
  return a;
}

// The mark's classes: its row, its keyword and, for a test step, its verdict.
std::string mark_classes(const page_input& in, const page_layout& layout, uint32_t i) {
  const mark& m = in.lanes.marks[i];
  std::string keyword(in.rdd.records[m.record].keyword());
  std::transform(keyword.begin(), keyword.end(), keyword.begin(), [](char c) { return static_cast<char>(c | 0x20); });
  std::string classes = std::string("m ") + row_class(m.row) + " " + keyword;
  if (m.row == mark_row::step) classes += std::string(" ") + verdict_name(layout.verdicts[i]);
  return classes;
}

void append_mark(std::string& out, const page_input& in, const page_layout& layout, uint32_t i) {
  const mark& m = in.lanes.marks[i];
  const rdd_record& r = in.rdd.records[m.record];
  row_box b = box_of(m);
  out += "<rect class=\"" + mark_classes(in, layout, i) + "\"";
  if (m.row == mark_row::error) out += " id=\"" + error_anchor(in, r.line) + "\"";
  if (m.row == mark_row::step && layout.verdicts[i] == verdict::failed) out += " id=\"" + step_anchor(in, r.line, m.report) + "\"";
  out += time_attributes(m.start, m.end);
  out += " y=\"" + std::to_string(b.y) + "\" height=\"" + std::to_string(b.height) + "\"><title>";
  append_escaped(out, trimmed_line(in.rdd, r));
  out += "</title></rect>\n";
  if (m.row == mark_row::step) {
    out += "<text class=\"name\"" + time_attributes(m.start, m.end) + " y=\"" + std::to_string(b.y + b.height - 3) + "\">";
    append_escaped(out, clipped(field_text(in.rdd.fields_of(r).fields.at(0)), NAME_BYTES));
    out += "</text>\n";
  }
}

// Marks are counted into bins over the whole run; the script stretches the
// bins with the time axis.
void append_density(std::string& out, const page_input& in, const std::vector<uint32_t>& lane_marks,
                    const tester& t, size_t bins) {
  uint32_t first = in.lanes.first_time, last = in.lanes.last_time;
  double bin = std::max(1.0, (static_cast<double>(last) - first) / static_cast<double>(bins));
  std::vector<uint32_t> counts(bins + 1);
  for (uint32_t i : lane_marks) ++counts[std::min<size_t>(bins, static_cast<size_t>((in.lanes.marks[i].start - first) / bin))];
  uint32_t most = *std::max_element(counts.begin(), counts.end());
  out += "<path class=\"density\" data-t=\"" + std::to_string(first) + "\" data-bin=\"" + std::to_string(bin) + "\" d=\"";
  for (size_t k = 0; k < counts.size(); ++k) {
    if (!counts[k]) continue;
    int height = 4 + static_cast<int>(std::lround(50 * std::sqrt(static_cast<double>(counts[k]) / most)));
    out += "M" + std::to_string(k) + " " + std::to_string(LANE_HEIGHT - 2) + "v-" + std::to_string(height) + "h1v" +
           std::to_string(height) + "z";
  }
  out += "\"><title>";
  append_escaped(out, clipped(lane_name(t), NAME_BYTES) + ": " + std::to_string(lane_marks.size()) +
                          " marks drawn as a density band (taller: more records in that stretch of time)");
  out += "</title></path>\n";
}

void append_links(std::string& out, const page_input& in, std::vector<std::string>& notes) {
  out += "<g class=\"links\" clip-path=\"url(#" + in.id + "plot-all)\">\n";
  size_t drawn = 0, start = out.size();
  for (const rendezvous& meeting : in.lanes.meetings) {
    if (drawn == RENDEZVOUS_LINKS || out.size() - start > LINK_BYTES) break;
    ++drawn;
    std::string reports, times, ys;
    for (uint32_t i : meeting.marks) {
      const mark& m = in.lanes.marks[i];
      size_t lane = tester_index(in.testers, m.report);
      if (lane >= LANES) continue;
      reports += (reports.empty() ? "" : " ") + std::to_string(m.report);
      times += (times.empty() ? "" : " ") + std::to_string(m.start);
      ys += (ys.empty() ? "" : " ") + std::to_string(AXIS_HEIGHT + LANE_STEP * static_cast<int>(lane) + 52);
    }
    std::string name = escaped(clipped(meeting.name, NAME_BYTES));
    out += "<polyline class=\"rdv\" data-name=\"" + name + "\" data-reports=\"" + reports + "\" data-t=\"" + times +
           "\" data-y=\"" + ys + "\"><title>rendezvous " + name;
    out += "</title></polyline>\n";
  }
  out += "</g>\n";
  if (drawn < in.lanes.meetings.size())
    notes.push_back(grouped(static_cast<int64_t>(in.lanes.meetings.size() - drawn)) + " of " +
                    grouped(static_cast<int64_t>(in.lanes.meetings.size())) +
                    " rendezvous are not joined across lanes, to keep the page small.");
}

std::string lane_transform(size_t lane) {
  return " transform=\"translate(0," + std::to_string(AXIS_HEIGHT + LANE_STEP * static_cast<int>(lane)) + ")\"";
}

std::string svg_start(const page_input& in, size_t lanes, const merged_tick& tick) {
  uint32_t first = in.lanes.first_time;
  uint32_t last = std::max(in.lanes.last_time, first + 1);
  std::string height = std::to_string(AXIS_HEIGHT + LANE_STEP * static_cast<int>(lanes) + 4);
  std::string clip = "<rect x=\"" + std::to_string(LABEL_WIDTH) + "\" y=\"0\" width=\"980\" height=\"";
  return "<svg class=\"timeline\" id=\"" + in.id + "timeline\" data-id=\"" + in.id +
         "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"1200\" height=\"" + height + "\" data-first=\"" +
         std::to_string(first) + "\" data-last=\"" + std::to_string(last) + "\" data-left=\"" + std::to_string(LABEL_WIDTH) +
         "\" data-unit=\"" + escaped(tick.label) + "\" data-tick-ns=\"" + std::to_string(tick.ns) + "\" data-digits=\"" +
         std::to_string(tick.digits) + "\">\n<defs><clipPath id=\"" + in.id + "plot-lane\">" + clip +
         std::to_string(LANE_HEIGHT) + "\"/></clipPath><clipPath id=\"" + in.id + "plot-all\">" + clip + height +
         "\"/></clipPath></defs>\n<g class=\"axis\"></g>\n";
}

// A lane's band, names, density band and the marks drawn below the top
// ones, which are handed back.
std::vector<uint32_t> append_lane(std::string& svg, const page_input& in, const page_layout& layout, size_t lane,
                                  size_t bins, legend_use& legend) {
  const tester& t = in.testers[lane];
  const std::vector<uint32_t>& marks = layout.lanes.marks[lane];
  bool density = layout.lanes.density[lane];
  svg += "<g class=\"lane\" id=\"" + in.id + "lane-" + std::to_string(t.report) + "\" data-report=\"" +
         std::to_string(t.report) + "\" data-marks=\"" + std::to_string(marks.size()) + "\" data-drawn=\"" +
         (density ? "density" : "marks") + "\"" + lane_transform(lane) +
         ">\n<rect class=\"band\" x=\"0\" y=\"0\" width=\"100%\" height=\"" + std::to_string(LANE_HEIGHT) +
         "\"/>\n<text class=\"lane-name\" x=\"8\" y=\"24\">";
  append_escaped(svg, clipped(lane_name(t), NAME_BYTES));
  svg += "</text>\n<text class=\"lane-source\" x=\"8\" y=\"42\">";
  append_escaped(svg, clipped(t.rod_name.empty() ? "no source record" : t.rod_name, NAME_BYTES));
  svg += "</text>\n<g clip-path=\"url(#" + in.id + "plot-lane)\">\n";
  if (density) {
    append_density(svg, in, marks, t, bins);
    legend.use(legend_key::density);
  }
  std::vector<uint32_t> top;
  for (uint32_t i : marks) {
    if (!layout.drawn[i]) continue;
    legend.use(legend_key_of(in, layout, i));
    if (is_top(layout, i, in.lanes.marks[i])) top.push_back(i);
    else append_mark(svg, in, layout, i);
  }
  svg += "</g>\n</g>\n";
  return top;
}

// Drawn after the rendezvous lines, so that nothing covers them.
void append_top_marks(std::string& svg, const page_input& in, const page_layout& layout, size_t lane,
                      const std::vector<uint32_t>& top) {
  if (top.empty()) return;
  svg += "<g class=\"lane-top\" data-report=\"" + std::to_string(in.testers[lane].report) + "\"" + lane_transform(lane) +
         "><g clip-path=\"url(#" + in.id + "plot-lane)\">\n";
  for (uint32_t i : top) append_mark(svg, in, layout, i);
  svg += "</g></g>\n";
}

size_t left_out(const page_input& in, const page_layout& layout, bool errors) {
  size_t count = 0;
  for (uint32_t i = 0; i < in.lanes.marks.size(); ++i) {
    const mark& m = in.lanes.marks[i];
    bool counted = errors ? m.row == mark_row::error : layout.verdicts[i] == verdict::failed;
    count += counted && !layout.drawn[i] && tester_index(in.testers, m.report) < lane_count(in);
  }
  return count;
}

std::vector<std::string> timeline_notes(const page_input& in, const page_layout& layout) {
  std::vector<std::string> notes;
  if (size_t n = left_out(in, layout, true))
    notes.push_back(grouped(static_cast<int64_t>(n)) + " ER records are not marked, to keep the page small.");
  if (size_t n = left_out(in, layout, false))
    notes.push_back(grouped(static_cast<int64_t>(n)) + " failed steps are not marked, to keep the page small.");
  if (lane_count(in) < in.testers.size())
    notes.push_back("The first " + grouped(LANES) + " of " + grouped(static_cast<int64_t>(in.testers.size())) +
                    " testers are drawn, to keep the page small.");
  if (in.lanes.timeless_records)
    notes.push_back(grouped(static_cast<int64_t>(in.lanes.timeless_records)) +
                    " timed records are not drawn: the merger drops each record's last two fields, their times "
                    "among them, and their testers' ROD reports, which still hold them, are not available.");
  if (in.lanes.stray_records)
    notes.push_back(grouped(static_cast<int64_t>(in.lanes.stray_records)) +
                    " records name report numbers of no tester (their fields are not as the merger expects, "
                    "and it wrote other numbers there): they are not drawn and their statuses are unknown.");
  return notes;
}

} // namespace

void append_timeline(std::string& out, const page_input& in) { append_timeline(out, in, lay_out_page(in)); }

void append_timeline(std::string& out, const page_input& in, const page_layout& layout) {
  size_t lanes = lane_count(in);
  merged_tick tick = merged_tick_of(in.clocks);
  out += "<section class=\"timeline-section\" id=\"" + in.id + "timeline-section\">\n<h2>Timeline</h2>\n<div class=\"toolbar\">"
         "<button type=\"button\" data-zoom=\"in\">Zoom in</button><button type=\"button\" data-zoom=\"out\">Zoom out</button>"
         "<button type=\"button\" data-zoom=\"fit\">Whole run</button><span>";
  append_escaped(out, tick.ns ? "Time as h:mm:ss from the common base's zero (1 tick = " + length_text(tick.ns) + ")."
                              : "Time in merged ticks (" + tick.label + ").");
  out += " Wheel: zoom; drag: pan; hover: record.</span></div>\n";
  std::string svg = svg_start(in, lanes, tick);
  size_t bins = std::clamp<size_t>(DENSITY_BINS_PER_PAGE / std::max<size_t>(lanes, 1), 50, MOST_DENSITY_BINS);
  legend_use legend;
  std::vector<std::vector<uint32_t>> top(lanes);
  for (size_t lane = 0; lane < lanes; ++lane) top[lane] = append_lane(svg, in, layout, lane, bins, legend);
  std::vector<std::string> notes = layout.lanes.notes;
  append_links(svg, in, notes);
  for (size_t lane = 0; lane < lanes; ++lane) append_top_marks(svg, in, layout, lane, top[lane]);
  svg += "</svg>\n";
  for (const std::string& note : timeline_notes(in, layout)) notes.push_back(note);
  for (const std::string& note : notes) {
    out += "<p class=\"note\">";
    append_escaped(out, note);
    out += "</p>\n";
  }
  out += "<div class=\"scroller\">" + svg + "</div>\n";
  append_legend(out, legend);
  out += "</section>\n";
}
