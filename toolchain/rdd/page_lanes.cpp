#include <algorithm>

#include "html.h"
#include "page.h"

size_t lane_count(const page_input& in) { return std::min(in.testers.size(), LANES); }

namespace {

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

} // namespace

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

