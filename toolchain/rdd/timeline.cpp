#include "timeline.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "record_kinds.h"

namespace {

struct lane_end {
  uint32_t report;
  uint32_t end;
};

void extend(std::vector<lane_end>& ends, uint32_t report, uint32_t time) {
  for (lane_end& e : ends)
    if (e.report == report) {
      e.end = std::max(e.end, time);
      return;
    }
  ends.push_back({report, time});
}

struct open_frame {
  uint32_t record;
  std::vector<lane_end> ends;  // from the opening record
  std::vector<lane_end> inner; // last times of the timed records inside, nested blocks' included
};

struct open_group {
  bool open = false;
  test_item item;
  uint32_t start = 0;
  std::vector<lane_end> ends;
};

struct block_walk {
  const rdd_report& rdd;
  timeline& out;
  std::vector<open_frame> frames;
  std::vector<open_group> groups{1};
  std::unordered_map<uint32_t, uint32_t> last_time; // per report
  std::unordered_map<uint64_t, uint32_t> waits;     // DW mark by its origin, until its FW
  std::map<std::string, std::map<uint32_t, std::vector<uint32_t>>> rd_marks; // name, report, marks

  void add_mark(uint32_t record, uint32_t report, uint32_t start, uint32_t end, mark_row row, size_t depth) {
    out.marks.push_back({record, report, start, std::max(start, end), row, static_cast<uint8_t>(std::min<size_t>(depth, 255))});
  }

  // Only the innermost block learns the time at once; each block hands what
  // it learned to the one around it when it closes, so that deep nesting
  // costs no more than shallow.
  void note_time(uint32_t report, uint32_t time) {
    last_time[report] = time;
    if (!frames.empty()) extend(frames.back().inner, report, time);
  }

  void finish_group(size_t level) {
    if (level >= groups.size() || !groups[level].open) return;
    open_group& g = groups[level];
    out.items.push_back(g.item);
    if (g.item.xi >= 0)
      for (const lane_end& e : g.ends) add_mark(static_cast<uint32_t>(g.item.xi), e.report, g.start, e.end, mark_row::item, level);
    g = open_group();
  }

  open_group& group_for(size_t level, bool joins, uint32_t start) {
    open_group& g = groups[level];
    if (!g.open || !joins) {
      finish_group(level);
      g.open = true;
      g.item.depth = static_cast<unsigned>(level);
      g.start = start;
    }
    return g;
  }

  void open_block(uint32_t index, const rdd_record& r) {
    open_frame f{index, {}, {}};
    const origin* o = rdd.origins_of(r);
    uint32_t lanes = r.stray ? 0 : r.origins_count;
    for (uint32_t i = 0; i < lanes; ++i) f.ends.push_back({o[i].report, r.time});
    frames.push_back(std::move(f));
    if (groups.size() < frames.size() + 1) groups.resize(frames.size() + 1);
    // A shared block starts at the earliest of its testers' times: a lower
    // bound of each one's own.
    if (r.timed)
      for (uint32_t i = 0; i < lanes; ++i) last_time[o[i].report] = r.time;
  }

  // A closing record closes the nearest open block of its kind, and those
  // opened inside it; one that closes none is passed over (the reader tells
  // why reports may interleave).
  void close_blocks_to(uint32_t closing_index, std::string_view closing) {
    auto opened = std::find_if(frames.rbegin(), frames.rend(), [&](const open_frame& f) {
      return closing_keyword_of(rdd.records[f.record].keyword()) == closing;
    });
    for (auto n = opened == frames.rend() ? 0 : opened - frames.rbegin() + 1; n > 0; --n) close_block(closing_index);
  }

  void close_block(uint32_t closing_index) {
    open_frame f = std::move(frames.back());
    frames.pop_back();
    for (const lane_end& e : f.inner) {
      extend(f.ends, e.report, e.end);
      if (!frames.empty()) extend(frames.back().inner, e.report, e.end);
    }
    size_t level = frames.size();
    finish_group(level + 1);
    const rdd_record& r = rdd.records[f.record];
    std::string_view key = r.keyword();
    if (key == "XI") {
      finish_group(level);
      open_group& g = group_for(level, false, r.time);
      g.item.xi = f.record;
      g.ends = f.ends;
    } else if (key == "DS") {
      for (const lane_end& e : f.ends) add_mark(f.record, e.report, r.time, e.end, mark_row::step, level);
      const open_group& current = groups[level];
      bool joins = current.open && current.item.xi >= 0 && current.item.ds < 0 && current.item.verdict < 0;
      open_group& g = group_for(level, joins, r.time);
      g.item.ds = f.record;
      g.item.fs = closing_index;
      for (const lane_end& e : f.ends) extend(g.ends, e.report, e.end);
    } else if (key == "DT" || key == "XE") {
      for (const lane_end& e : f.ends) add_mark(f.record, e.report, r.time, e.end, mark_row::verdict, level);
      open_group& g = group_for(level, groups[level].open && groups[level].item.verdict < 0, r.time);
      g.item.verdict = f.record;
      for (const lane_end& e : f.ends) extend(g.ends, e.report, e.end);
      finish_group(level);
    }
  }

  void timed_record(uint32_t index, const rdd_record& r, uint32_t time) {
    uint32_t report = rdd.report_of(r);
    const origin& o = rdd.origins_of(r)[0];
    uint64_t key = (static_cast<uint64_t>(o.report) << 32) | o.line;
    std::string_view k = r.keyword();
    if (k == "FW") {
      auto wait = waits.find(key);
      if (wait != waits.end()) out.marks[wait->second].end = std::max(out.marks[wait->second].end, time);
    } else if (k == "RD") {
      rd_marks[field_text(rdd.fields_of(r).fields.at(0))][report].push_back(static_cast<uint32_t>(out.marks.size()));
      add_mark(index, report, time, time, mark_row::rendezvous, 0);
    } else {
      if (k == "DW") waits[key] = static_cast<uint32_t>(out.marks.size());
      add_mark(index, report, time, time, mark_row::activity, 0);
    }
    note_time(report, time);
  }

  // An ER record has no time of its own: the merger places it after the
  // last timed record of its report.
  void error_record(uint32_t index, const rdd_record& r) {
    uint32_t report = rdd.report_of(r);
    auto last = last_time.find(report);
    uint32_t time = last != last_time.end() ? last->second : 0;
    add_mark(index, report, time, time, mark_row::error, 0);
  }

  void collect_meetings() {
    for (const auto& [name, by_report] : rd_marks) {
      for (size_t n = 0;; ++n) {
        rendezvous meeting{name, {}};
        for (const auto& [report, marks] : by_report)
          if (n < marks.size()) meeting.marks.push_back(marks[n]);
        if (meeting.marks.size() < 2) break;
        out.meetings.push_back(std::move(meeting));
      }
    }
  }
};

} // namespace

timeline build_timeline(const rdd_report& rdd, const std::vector<tester>& testers,
                        const std::vector<clock_alignment>& clocks) {
  timeline out;
  out.reports = rdd.testers;
  block_walk walk{rdd, out, {}, std::vector<open_group>(1), {}, {}, {}};
  for (uint32_t i = 0; i < rdd.records.size(); ++i) {
    const rdd_record& r = rdd.records[i];
    out.stray_records += r.stray;
    if (opens_kept_block(r.keyword())) walk.open_block(i, r);
    else if (closes_kept_block(r.keyword())) walk.close_blocks_to(i, r.keyword());
    else if (r.stray) continue;
    else if (r.timed) walk.timed_record(i, r, r.time);
    else if (r.keyword() == "ER") walk.error_record(i, r);
    else if (time_field_of(r.keyword())) {
      size_t t = tester_index(testers, rdd.report_of(r));
      std::optional<uint32_t> time = time_from_rod(rdd, r, testers[t], clocks[t]);
      if (time) walk.timed_record(i, r, *time);
      else ++out.timeless_records;
    }
  }
  // Blocks an interleaving report leaves open end with it.
  while (!walk.frames.empty()) walk.close_block(static_cast<uint32_t>(rdd.records.size() - 1));
  walk.finish_group(0);
  walk.collect_meetings();
  // Groups finish inside out; the table lists them as they begin.
  auto begins = [](const test_item& t) { return t.xi >= 0 ? t.xi : t.ds >= 0 ? t.ds : t.verdict; };
  std::sort(out.items.begin(), out.items.end(), [&](const test_item& a, const test_item& b) { return begins(a) < begins(b); });
  if (!out.marks.empty()) {
    out.first_time = UINT32_MAX;
    for (const mark& m : out.marks) {
      out.first_time = std::min(out.first_time, m.start);
      out.last_time = std::max(out.last_time, m.end);
    }
  }
  return out;
}

std::vector<std::optional<uint32_t>> rendezvous_gaps(const timeline& lanes, const std::vector<tester>& testers) {
  std::vector<std::optional<uint32_t>> gaps(testers.size());
  for (const rendezvous& meeting : lanes.meetings) {
    uint32_t earliest = UINT32_MAX, latest = 0;
    for (uint32_t i : meeting.marks) {
      earliest = std::min(earliest, lanes.marks[i].start);
      latest = std::max(latest, lanes.marks[i].start);
    }
    for (uint32_t i : meeting.marks) {
      uint32_t t = lanes.marks[i].start;
      std::optional<uint32_t>& gap = gaps[tester_index(testers, lanes.marks[i].report)];
      gap = std::max(gap.value_or(0), std::max(t - earliest, latest - t));
    }
  }
  return gaps;
}
