#include "alignment.h"

#include <algorithm>
#include <tuple>

#include "record_kinds.h"

std::optional<clock_record> clock_of(const report_line& sy) {
  if (sy.keyword != "SY" || sy.fields.size() < 6) return std::nullopt;
  clock_record c;
  c.name = field_text(sy.fields[0]);
  c.label = field_text(sy.fields[5]);
  int64_t* numbers[] = {&c.whole, &c.ticks, &c.ticks_per_whole, &c.tick_length};
  for (int i = 0; i < 4; ++i) {
    std::optional<int64_t> n = field_number(sy.fields[1 + i]);
    if (!n) return std::nullopt;
    *numbers[i] = *n;
  }
  return c;
}

namespace {

// Scaling multiplies the ticks per whole unit and divides the tick length
// by the same factor; the former stays exact.
std::optional<int64_t> scale_between(const clock_record& read, const clock_record& merged) {
  if (read.ticks_per_whole > 0 && merged.ticks_per_whole % read.ticks_per_whole == 0 && merged.ticks_per_whole > 0)
    return merged.ticks_per_whole / read.ticks_per_whole;
  if (merged.tick_length > 0 && read.tick_length >= merged.tick_length) return read.tick_length / merged.tick_length;
  return std::nullopt;
}

// A shift moves the clock's start earlier by as many ticks as it moves every
// time later.
int64_t shift_of_clock(const clock_record& read, const clock_record& merged, int64_t scale) {
  int64_t read_start = scale * (read.whole * read.ticks_per_whole + read.ticks);
  return read_start - (merged.whole * merged.ticks_per_whole + merged.ticks);
}

std::optional<clock_record> first_clock_in(const rod_source& rod) {
  report_line split;
  for (uint32_t n = 1; n + 1 < rod.line_begins.size(); ++n)
    if (rod.record_line(n).substr(0, 2) == "SY" && split_report_line(rod.record_line(n), split)) return clock_of(split);
  return std::nullopt;
}

struct tally {
  std::optional<uint32_t> shift;
  uint64_t agreeing = 0, disagreeing = 0;
};

} // namespace

namespace {

// Each tester's clock as read in its ROD report and as merged, and the
// factor between them.
std::vector<clock_alignment> clocks_of(const rdd_report& rdd, const std::vector<tester>& testers) {
  std::vector<clock_alignment> rows(testers.size());
  for (size_t i = 0; i < testers.size(); ++i) {
    rows[i].report = testers[i].report;
    rows[i].rod_available = testers[i].rod.available;
    if (rows[i].rod_available) rows[i].read = first_clock_in(testers[i].rod);
  }
  for (const rdd_record& r : rdd.records) {
    if (r.keyword() != "SY") continue;
    clock_alignment& row = rows[tester_index(testers, rdd.report_of(r))];
    if (!row.merged) row.merged = clock_of(rdd.fields_of(r));
  }
  // Without a clock record in its report the merger never rescaled a tester.
  for (clock_alignment& row : rows) {
    if (row.read && row.merged) row.scale = scale_between(*row.read, *row.merged);
    else if (row.rod_available && !row.read) row.scale = 1;
  }
  return rows;
}

// Every record that stands for one record of a ROD report compares its
// merged time with the time it had there.
std::vector<tally> shifts_of(const rdd_report& rdd, const std::vector<tester>& testers,
                             const std::vector<clock_alignment>& rows) {
  std::vector<tally> tallies(rows.size());
  report_line read;
  for (const rdd_record& r : rdd.records) {
    if (!r.timed || r.origins_count != 1 || r.stray) continue;
    const origin& o = rdd.origins_of(r)[0];
    size_t i = tester_index(testers, o.report);
    if (!rows[i].scale) continue;
    std::string_view original = testers[i].rod.record_line(o.line);
    if (original.substr(0, 2) != r.keyword() || !split_report_line(original, read)) continue;
    unsigned field = time_field_of(r.keyword());
    if (read.fields.size() < field) continue;
    std::optional<uint32_t> was = field_time(read.fields[field - 1]);
    if (!was) continue;
    uint32_t shift = r.time - static_cast<uint32_t>(*rows[i].scale) * *was;
    tally& t = tallies[i];
    if (!t.shift) t.shift = shift;
    ++(*t.shift == shift ? t.agreeing : t.disagreeing);
  }
  return tallies;
}

} // namespace

std::vector<clock_alignment> align_clocks(const rdd_report& rdd, const std::vector<tester>& testers) {
  std::vector<clock_alignment> rows = clocks_of(rdd, testers);
  const std::vector<tally> tallies = shifts_of(rdd, testers, rows);
  for (size_t i = 0; i < rows.size(); ++i) {
    clock_alignment& row = rows[i];
    row.agreeing = tallies[i].agreeing;
    row.disagreeing = tallies[i].disagreeing;
    if (tallies[i].shift) row.shift = static_cast<int32_t>(*tallies[i].shift);
    else if (row.scale && row.read && row.merged) row.shift = shift_of_clock(*row.read, *row.merged, *row.scale);
  }
  return rows;
}

std::optional<uint32_t> time_from_rod(const rdd_report& rdd, const rdd_record& r, const tester& t,
                                      const clock_alignment& clock) {
  if (!t.rod.available || !clock.scale || !clock.shift || r.origins_count != 1 || r.stray) return std::nullopt;
  // The merger makes each FW record from its DW record, moved by the wait.
  bool wait_end = r.keyword() == "FW";
  std::string_view original = t.rod.record_line(rdd.origins_of(r)[0].line);
  report_line read;
  if (original.substr(0, 2) != (wait_end ? "DW" : r.keyword()) || !split_report_line(original, read)) return std::nullopt;
  unsigned field = time_field_of(r.keyword());
  if (field == 0 || read.fields.size() < field) return std::nullopt;
  std::optional<uint32_t> time = field_time(read.fields[field - 1]);
  std::optional<uint32_t> wait = wait_end ? field_time(read.fields[3]) : 0u;
  if (!time || !wait) return std::nullopt;
  return static_cast<uint32_t>(*clock.scale) * (*time + *wait) + static_cast<uint32_t>(*clock.shift);
}

namespace {

struct meeting_point {
  std::string name;
  uint32_t occurrence; // of this name in this tester, from 0
  uint32_t tester;
  int64_t time;
};

// Every RD record of a tester, its occurrences counted; grouped by name and occurrence.
std::vector<meeting_point> meeting_points(const rdd_report& rdd, const std::vector<tester>& testers) {
  std::vector<meeting_point> points;
  report_line split;
  for (const rdd_record& r : rdd.records) {
    if (r.keyword() != "RD" || !r.timed || r.stray || !split_report_line(rdd.line_of(r), split)) continue;
    uint32_t t = static_cast<uint32_t>(tester_index(testers, rdd.report_of(r)));
    points.push_back({field_text(split.fields.at(0)), 0, t, static_cast<int32_t>(r.time)});
  }
  // Stable: within a name and tester the records keep the report's order.
  std::stable_sort(points.begin(), points.end(), [](const meeting_point& a, const meeting_point& b) {
    return std::tie(a.name, a.tester) < std::tie(b.name, b.tester);
  });
  for (size_t i = 1; i < points.size(); ++i)
    if (points[i].name == points[i - 1].name && points[i].tester == points[i - 1].tester)
      points[i].occurrence = points[i - 1].occurrence + 1;
  std::stable_sort(points.begin(), points.end(), [](const meeting_point& a, const meeting_point& b) {
    return std::tie(a.name, a.occurrence) < std::tie(b.name, b.occurrence);
  });
  return points;
}

} // namespace

std::vector<std::optional<uint64_t>> rendezvous_gaps(const rdd_report& rdd, const std::vector<tester>& testers) {
  std::vector<std::optional<uint64_t>> gaps(testers.size());
  std::vector<meeting_point> points = meeting_points(rdd, testers);
  for (size_t begin = 0, end; begin < points.size(); begin = end) {
    int64_t earliest = points[begin].time, latest = earliest;
    for (end = begin + 1; end < points.size() && points[end].name == points[begin].name &&
                          points[end].occurrence == points[begin].occurrence;
         ++end) {
      earliest = std::min(earliest, points[end].time);
      latest = std::max(latest, points[end].time);
    }
    if (end - begin < 2) continue;
    for (size_t i = begin; i < end; ++i) {
      uint64_t gap = static_cast<uint64_t>(std::max(points[i].time - earliest, latest - points[i].time));
      std::optional<uint64_t>& g = gaps[points[i].tester];
      g = std::max(g.value_or(0), gap);
    }
  }
  return gaps;
}
