#include <algorithm>
#include <unordered_map>

#include "html.h"
#include "page.h"

namespace {

const size_t TOP_MARK_MARKUP = 160;

uint64_t pair_key(uint32_t a, size_t b) { return (static_cast<uint64_t>(a) << 32) | b; }

// What each test step's mark says of its step; unknown for other marks.
std::vector<verdict> step_mark_verdicts(const page_input& in) {
  std::unordered_map<uint64_t, verdict> by_step;
  for (const step_result& r : in.results)
    by_step.emplace(pair_key(static_cast<uint32_t>(in.lanes.items[r.item].ds), r.tester), r.meaning);
  std::vector<verdict> verdicts(in.lanes.marks.size(), verdict::unknown);
  for (size_t i = 0; i < in.lanes.marks.size(); ++i) {
    const mark& m = in.lanes.marks[i];
    if (m.row != mark_row::step) continue;
    auto found = by_step.find(pair_key(m.record, tester_index(in.testers, m.report)));
    if (found != by_step.end()) verdicts[i] = found->second;
  }
  return verdicts;
}

// The first `listed` candidates come first, so that every link to one finds
// its mark; the rest of the budget is spread evenly over the others, so that
// every lane and every stretch of time keeps its share.
void spread_choice(const page_input& in, const std::vector<uint32_t>& candidates, size_t listed, std::vector<bool>& drawn) {
  size_t count = 0, bytes = 0;
  auto take = [&](uint32_t i) {
    size_t more = escaped(trimmed_line(in.rdd, in.rdd.records[in.lanes.marks[i].record])).size() + TOP_MARK_MARKUP;
    if (count == ERROR_MARKS || bytes + more > ERROR_MARK_BYTES) return;
    drawn[i] = true;
    ++count;
    bytes += more;
  };
  listed = std::min(candidates.size(), listed);
  for (size_t i = 0; i < listed; ++i) take(candidates[i]);
  size_t rest = candidates.size() - listed, room = std::min(rest, ERROR_MARKS - count);
  for (size_t k = 0; k < room; ++k) take(candidates[listed + k * rest / room]);
}

} // namespace

page_layout lay_out_page(const page_input& in) {
  page_layout layout{plan_lanes(in), step_mark_verdicts(in), {}, {}, {}};
  layout.drawn.resize(in.lanes.marks.size());
  layout.error_drawn.resize(in.rdd.records.size());
  std::vector<uint32_t> errors, failures;
  for (uint32_t i = 0; i < in.lanes.marks.size(); ++i) {
    const mark& m = in.lanes.marks[i];
    size_t lane = tester_index(in.testers, m.report);
    if (lane >= lane_count(in)) continue;
    bool failed = layout.verdicts[i] == verdict::failed;
    if (!layout.lanes.density[lane]) layout.drawn[i] = true;
    else if (m.row == mark_row::error) errors.push_back(i);
    else if (failed) failures.push_back(i);
  }
  // Marks of blocks are made as the blocks close; the banner lists steps as they begin.
  std::stable_sort(failures.begin(), failures.end(),
                   [&](uint32_t a, uint32_t b) { return in.lanes.marks[a].record < in.lanes.marks[b].record; });
  spread_choice(in, errors, ERROR_LINKS, layout.drawn);
  spread_choice(in, failures, FAILURE_LINKS, layout.drawn);
  for (uint32_t i = 0; i < in.lanes.marks.size(); ++i) {
    const mark& m = in.lanes.marks[i];
    if (!layout.drawn[i]) continue;
    if (m.row == mark_row::error) layout.error_drawn[m.record] = true;
    else if (layout.verdicts[i] == verdict::failed) layout.failed_steps_drawn.insert(pair_key(m.record, m.report));
  }
  return layout;
}

bool is_top(const page_layout& layout, uint32_t i, const mark& m) {
  return m.row == mark_row::error || layout.verdicts[i] == verdict::failed;
}

bool failed_step_drawn(const page_layout& layout, uint32_t ds_record, uint32_t report) {
  return layout.failed_steps_drawn.count(pair_key(ds_record, report)) > 0;
}
