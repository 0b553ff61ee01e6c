#include <algorithm>
#include <cmath>
#include <cstdint>

#include "html.h"
#include "page.h"

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

std::string trimmed_line(const rdd_report& rdd, const rdd_record& r) {
  std::string_view line = rdd.line_of(r);
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  return clipped(line, LINE_BYTES);
}

std::string time_attributes(uint32_t start, uint32_t end) {
  std::string a = " data-t=\"" + std::to_string(start) + "\"";
  if (end != start) a += " data-e=\"" + std::to_string(end) + "\"";
  return a;
}

void append_mark(std::string& out, const page_input& in, const mark& m) {
  const rdd_record& r = in.rdd.records[m.record];
  row_box b = box_of(m);
  std::string keyword(r.keyword());
  std::transform(keyword.begin(), keyword.end(), keyword.begin(), [](char c) { return static_cast<char>(c | 0x20); });
  out += "<rect class=\"m ";
  out += row_class(m.row);
  out += " " + keyword + "\"";
  if (m.row == mark_row::error) out += " id=\"" + error_anchor(in, r.line) + "\"";
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

size_t lane_count(const page_input& in) { return std::min(in.testers.size(), LANES); }

struct lane_plan {
  std::vector<std::vector<uint32_t>> marks; // per tester
  std::vector<bool> density;
  std::vector<std::string> notes;
};

// What a drawn mark adds to the page besides its escaped line: the rect and
// its attributes, and for a test step its name's text element, the name
// being bounded by the line.
const size_t MARK_MARKUP = 120;
const size_t NAME_MARKUP = 80;

// Bytes each lane's marks would take, a record's escaped line counted once
// however many lanes share it.
std::vector<size_t> lane_bytes(const page_input& in, const std::vector<std::vector<uint32_t>>& marks) {
  std::vector<uint32_t> title(in.rdd.records.size(), UINT32_MAX);
  std::string scratch;
  std::vector<size_t> bytes(marks.size());
  for (size_t lane = 0; lane < marks.size(); ++lane)
    for (uint32_t i : marks[lane]) {
      uint32_t record = in.lanes.marks[i].record;
      if (title[record] == UINT32_MAX) {
        scratch.clear();
        append_escaped(scratch, trimmed_line(in.rdd, in.rdd.records[record]));
        title[record] = static_cast<uint32_t>(scratch.size());
      }
      bytes[lane] += title[record] + MARK_MARKUP;
      if (in.lanes.marks[i].row == mark_row::step) bytes[lane] += title[record] + NAME_MARKUP;
    }
  return bytes;
}

// Lanes with the fewest marks are drawn mark by mark first, while the page
// stays within its budgets; the others become density bands.
lane_plan plan_lanes(const page_input& in) {
  lane_plan plan;
  size_t lanes = lane_count(in);
  plan.marks.resize(lanes);
  plan.density.resize(lanes);
  for (uint32_t i = 0; i < in.lanes.marks.size(); ++i) {
    size_t lane = tester_index(in.testers, in.lanes.marks[i].report);
    if (lane < lanes) plan.marks[lane].push_back(i);
  }
  std::vector<size_t> bytes = lane_bytes(in, plan.marks);
  std::vector<size_t> order(lanes);
  for (size_t i = 0; i < lanes; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return plan.marks[a].size() < plan.marks[b].size(); });
  size_t drawn = 0, drawn_bytes = 0, crowded = 0, dense = 0, heavy = 0;
  for (size_t i : order) {
    size_t n = plan.marks[i].size();
    if (n > MARKS_PER_LANE) ++crowded;
    else if (drawn + n > MARKS_PER_PAGE) ++dense;
    else if (drawn_bytes + bytes[i] > MARK_BYTES_PER_PAGE) ++heavy;
    else {
      drawn += n;
      drawn_bytes += bytes[i];
      continue;
    }
    plan.density[i] = true;
  }
  if (crowded)
    plan.notes.push_back(std::to_string(crowded) + " lane(s) hold more than " + grouped(MARKS_PER_LANE) +
                         " marks, more than a screen can show apart: they are drawn as density bands.");
  if (dense)
    plan.notes.push_back(std::to_string(dense) + " more lane(s) are drawn as density bands to keep the page within " +
                         grouped(MARKS_PER_PAGE) + " marks.");
  if (heavy)
    plan.notes.push_back(std::to_string(heavy) + " more lane(s) are drawn as density bands to keep the page under " +
                         grouped(MARK_BYTES_PER_PAGE >> 20) + " MB of marks: their records are shared by many testers.");
  return plan;
}

std::string run_unit(const page_input& in) {
  for (const clock_alignment& c : in.clocks)
    if (c.merged) return c.merged->label;
  return "ticks";
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

} // namespace

void append_timeline(std::string& out, const page_input& in) {
  lane_plan plan = plan_lanes(in);
  uint32_t first = in.lanes.first_time;
  uint32_t last = std::max(in.lanes.last_time, first + 1);
  size_t lanes = lane_count(in);
  int height = AXIS_HEIGHT + LANE_STEP * static_cast<int>(lanes) + 4;
  std::string unit = run_unit(in);

  out += "<section class=\"timeline-section\" id=\"" + in.id + "timeline-section\">\n<h2>Timeline</h2>\n<div class=\"toolbar\">"
         "<button type=\"button\" data-zoom=\"in\">Zoom in</button><button type=\"button\" data-zoom=\"out\">Zoom out</button>"
         "<button type=\"button\" data-zoom=\"fit\">Whole run</button><span>Time in ";
  append_escaped(out, unit);
  out += " as merged. Wheel: zoom; drag: pan; hover: record.</span></div>\n";
  std::string svg;
  svg += "<svg class=\"timeline\" id=\"" + in.id + "timeline\" data-id=\"" + in.id + "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"1200\" height=\"" + std::to_string(height) +
         "\" data-first=\"" + std::to_string(first) + "\" data-last=\"" + std::to_string(last) + "\" data-left=\"" +
         std::to_string(LABEL_WIDTH) + "\" data-unit=\"" + escaped(unit) + "\">\n";
  svg += "<defs><clipPath id=\"" + in.id + "plot-lane\"><rect x=\"" + std::to_string(LABEL_WIDTH) +
         "\" y=\"0\" width=\"980\" height=\"" + std::to_string(LANE_HEIGHT) + "\"/></clipPath><clipPath id=\"" + in.id +
         "plot-all\"><rect x=\"" + std::to_string(LABEL_WIDTH) +
         "\" y=\"0\" width=\"980\" height=\"" + std::to_string(height) + "\"/></clipPath></defs>\n<g class=\"axis\"></g>\n";
  size_t error_marks = 0, errors_left_out = 0, error_bytes = 0;
  size_t bins = std::clamp<size_t>(DENSITY_BINS_PER_PAGE / std::max<size_t>(lanes, 1), 50, MOST_DENSITY_BINS);
  for (size_t lane = 0; lane < lanes; ++lane) {
    const tester& t = in.testers[lane];
    const std::vector<uint32_t>& marks = plan.marks[lane];
    svg += "<g class=\"lane\" id=\"" + in.id + "lane-" + std::to_string(t.report) + "\" data-report=\"" + std::to_string(t.report) +
           "\" data-marks=\"" + std::to_string(marks.size()) + "\" data-drawn=\"" +
           (plan.density[lane] ? "density" : "marks") + "\" transform=\"translate(0," +
           std::to_string(AXIS_HEIGHT + LANE_STEP * static_cast<int>(lane)) + ")\">\n<rect class=\"band\" x=\"0\" y=\"0\" width=\"100%\" height=\"" +
           std::to_string(LANE_HEIGHT) + "\"/>\n<text class=\"lane-name\" x=\"8\" y=\"24\">";
    append_escaped(svg, clipped(lane_name(t), NAME_BYTES));
    svg += "</text>\n<text class=\"lane-source\" x=\"8\" y=\"42\">";
    append_escaped(svg, clipped(t.rod_name.empty() ? "no source record" : t.rod_name, NAME_BYTES));
    svg += "</text>\n<g clip-path=\"url(#" + in.id + "plot-lane)\">\n";
    if (plan.density[lane]) append_density(svg, in, marks, t, bins);
    for (uint32_t i : marks) {
      const mark& m = in.lanes.marks[i];
      if (plan.density[lane] && m.row != mark_row::error) continue;
      size_t before = svg.size();
      if (m.row == mark_row::error && (error_marks >= ERROR_MARKS || error_bytes > ERROR_MARK_BYTES)) {
        ++errors_left_out;
        continue;
      }
      append_mark(svg, in, m);
      if (m.row == mark_row::error) {
        ++error_marks;
        error_bytes += svg.size() - before;
      }
    }
    svg += "</g>\n</g>\n";
  }
  append_links(svg, in, plan.notes);
  svg += "</svg>\n";
  if (errors_left_out)
    plan.notes.push_back(grouped(static_cast<int64_t>(errors_left_out)) + " ER records are not marked, to keep the page small.");
  if (lanes < in.testers.size())
    plan.notes.push_back("The first " + grouped(LANES) + " of " + grouped(static_cast<int64_t>(in.testers.size())) +
                         " testers are drawn, to keep the page small.");
  if (in.lanes.timeless_records)
    plan.notes.push_back(grouped(static_cast<int64_t>(in.lanes.timeless_records)) +
                         " timed records are not drawn: the merger drops each record's last two fields, their times "
                         "among them, and their testers' ROD reports, which still hold them, are not available.");
  if (in.lanes.stray_records)
    plan.notes.push_back(grouped(static_cast<int64_t>(in.lanes.stray_records)) +
                         " records name report numbers of no tester (their fields are not as the merger expects, "
                         "and it wrote other numbers there): they are not drawn and their statuses are unknown.");
  for (const std::string& note : plan.notes) {
    out += "<p class=\"note\">";
    append_escaped(out, note);
    out += "</p>\n";
  }
  out += "<div class=\"scroller\">" + svg + "</div>\n";
  out += "<p class=\"legend\"><span class=\"key item\"></span>test item <span class=\"key step\"></span>test step "
         "<span class=\"key verdict\"></span>DT / XE <span class=\"key activity\"></span>DW, EV, SN, DA and other timed "
         "records <span class=\"key rendezvous\"></span>rendezvous (joined across lanes) <span class=\"key error\"></span>ER</p>\n";
  out += "</section>\n";
}
