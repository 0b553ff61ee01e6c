#include "trace.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <unordered_map>

#include "html.h"
#include "output_file.h"
#include "page.h"
#include "run_time.h"

namespace {

// Threads of each tester's process; blocks that overlap without nesting
// take a further thread of their kind, TRACKS apart.
enum trace_thread { ITEMS = 1, STEPS = 2, VERDICTS = 3, RECORDS = 4 };
const uint32_t TRACKS = 10;
const char* const THREADS[] = {"", "test items", "test steps and rendezvous", "DT and XE", "timed records"};

std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (char c : printable(text)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

struct trace_writer {
  const run_view& run;
  merged_tick tick;
  std::vector<uint32_t> tracks; // by mark
  std::string out;
  std::set<uint64_t> named;     // further threads, by process and thread

  // Microseconds, exact to the nanosecond.
  std::string micros(uint64_t ticks) const {
    if (tick.ns == 0) return std::to_string(ticks);
    uint64_t ns = ticks * static_cast<uint64_t>(tick.ns);
    std::string text = std::to_string(ns / 1000);
    if (ns % 1000) {
      std::string fraction = std::to_string(1000 + ns % 1000).substr(1);
      text += "." + fraction.substr(0, fraction.find_last_not_of('0') + 1);
    }
    return text;
  }

  void event(const std::string& phase, const std::string& name, const mark& m, uint32_t thread, const std::string& more) {
    if (thread > TRACKS && named.insert((static_cast<uint64_t>(m.report) << 32) | thread).second)
      out += "{\"ph\": \"M\", \"name\": \"thread_name\", \"pid\": " + std::to_string(m.report) + ", \"tid\": " +
             std::to_string(thread) + ", \"args\": {\"name\": \"" + THREADS[thread % TRACKS] + " " +
             std::to_string(thread / TRACKS + 1) + "\"}},\n";
    out += "{\"ph\": \"" + phase + "\", \"name\": " + name + ", \"pid\": " + std::to_string(m.report) +
           ", \"tid\": " + std::to_string(thread) + ", \"ts\": " + micros(m.start) + more + "},\n";
  }

  std::string record_args(const rdd_record& r, const std::string& more = "") const {
    return ", \"args\": {\"line\": " + std::to_string(r.line) + more + "}";
  }
};

bool is_block(const mark& m) { return m.row == mark_row::item || m.row == mark_row::step || m.row == mark_row::verdict; }

// Complete events of one thread must nest. A tester's blocks of one kind
// that overlap without nesting (a step whose records run past the next
// one's start) go to the first track where they nest, by start.
std::vector<uint32_t> nesting_tracks(const timeline& lanes) {
  std::vector<uint32_t> order;
  for (uint32_t i = 0; i < lanes.marks.size(); ++i)
    if (is_block(lanes.marks[i])) order.push_back(i);
  auto key = [&](uint32_t i) {
    const mark& m = lanes.marks[i];
    return std::make_tuple(m.report, m.row, m.start, UINT32_MAX - m.end);
  };
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
  std::vector<uint32_t> tracks(lanes.marks.size());
  std::vector<std::vector<uint32_t>> open; // per track, the ends of its open blocks
  for (size_t k = 0; k < order.size(); ++k) {
    const mark& m = lanes.marks[order[k]];
    if (k && (lanes.marks[order[k - 1]].report != m.report || lanes.marks[order[k - 1]].row != m.row)) open.clear();
    size_t t = 0;
    for (; t < open.size(); ++t) {
      while (!open[t].empty() && open[t].back() <= m.start) open[t].pop_back();
      if (open[t].empty() || open[t].back() >= m.end) break;
    }
    if (t == open.size()) open.emplace_back();
    open[t].push_back(m.end);
    tracks[order[k]] = static_cast<uint32_t>(t);
  }
  return tracks;
}

void write_processes(trace_writer& w) {
  for (size_t i = 0; i < w.run.testers.size(); ++i) {
    std::string pid = std::to_string(w.run.testers[i].report);
    w.out += "{\"ph\": \"M\", \"name\": \"process_name\", \"pid\": " + pid + ", \"args\": {\"name\": " +
             json_string(clipped(lane_name(w.run.testers[i]), NAME_BYTES)) + "}},\n";
    w.out += "{\"ph\": \"M\", \"name\": \"process_sort_index\", \"pid\": " + pid + ", \"args\": {\"sort_index\": " +
             std::to_string(i) + "}},\n";
    for (int t = ITEMS; t <= RECORDS; ++t)
      w.out += "{\"ph\": \"M\", \"name\": \"thread_name\", \"pid\": " + pid + ", \"tid\": " + std::to_string(t) +
               ", \"args\": {\"name\": \"" + THREADS[t] + "\"}},\n";
  }
}

// Each test step's status as its tester gave it, by DS record and report.
std::unordered_map<uint64_t, const step_result*> step_statuses(const run_view& run) {
  std::unordered_map<uint64_t, const step_result*> statuses;
  for (const step_result& r : run.results)
    statuses[(static_cast<uint64_t>(run.lanes.items[r.item].ds) << 32) | run.testers[r.tester].report] = &r;
  return statuses;
}

// Each test item's name (DS field 4 of its step), by XI record.
std::unordered_map<int64_t, std::string> item_names(const run_view& run) {
  std::unordered_map<int64_t, std::string> names;
  for (const test_item& item : run.lanes.items)
    if (item.xi >= 0) names[item.xi] = clipped(item_name_of(run.rdd, item), NAME_BYTES);
  return names;
}

std::string first_field(const rdd_report& rdd, const rdd_record& r) {
  report_line split = rdd.fields_of(r);
  return split.fields.empty() || r.fields_before_tail == 0 ? std::string() : clipped(field_text(split.fields[0]), NAME_BYTES);
}

// The text of an ER record: its fields after the first, before the tail.
std::string error_text(const rdd_report& rdd, const rdd_record& r) {
  report_line split = rdd.fields_of(r);
  std::string text;
  for (size_t f = 1; f < r.fields_before_tail && f < split.fields.size(); ++f)
    text += (f > 1 ? " \xC2\xB7 " : "") + field_text(split.fields[f]);
  return clipped(text, TEXT_BYTES);
}

struct block_names {
  std::unordered_map<uint64_t, const step_result*> statuses;
  std::unordered_map<int64_t, std::string> items;
};

void write_block(trace_writer& w, const mark& m, const block_names& names) {
  const rdd_record& r = w.run.rdd.records[m.record];
  std::string duration = ", \"dur\": " + w.micros(m.end - m.start);
  uint32_t further = TRACKS * w.tracks[&m - w.run.lanes.marks.data()];
  if (m.row == mark_row::item) {
    auto name = names.items.find(m.record);
    w.event("X", json_string(name == names.items.end() || name->second.empty() ? "test item" : name->second), m, ITEMS + further,
            duration + w.record_args(r));
  } else if (m.row == mark_row::verdict) {
    w.event("X", json_string(r.keyword()), m, VERDICTS + further, duration + w.record_args(r));
  } else {
    auto found = names.statuses.find((static_cast<uint64_t>(m.record) << 32) | m.report);
    std::string status = found == names.statuses.end() ? "unknown" : verdict_name(found->second->meaning);
    w.event("X", json_string(first_field(w.run.rdd, r)), m, STEPS + further,
            duration + w.record_args(r, ", \"status\": \"" + status + "\""));
  }
}

void write_marks(trace_writer& w) {
  block_names names{step_statuses(w.run), item_names(w.run)};
  for (const mark& m : w.run.lanes.marks) {
    const rdd_record& r = w.run.rdd.records[m.record];
    std::string keyword(r.keyword());
    switch (m.row) {
    case mark_row::item:
    case mark_row::step:
    case mark_row::verdict: write_block(w, m, names); break;
    case mark_row::error:
      w.event("i", "\"ER\"", m, STEPS, ", \"s\": \"p\"" + w.record_args(r, ", \"text\": " + json_string(error_text(w.run.rdd, r))));
      break;
    case mark_row::rendezvous:
      w.event("i", json_string("RD " + first_field(w.run.rdd, r)), m, STEPS, ", \"s\": \"t\"" + w.record_args(r));
      break;
    case mark_row::activity:
      w.event("i", json_string(keyword + " " + first_field(w.run.rdd, r)), m, RECORDS,
              ", \"s\": \"t\"" + w.record_args(r, m.end != m.start ? ", \"until\": " + w.micros(m.end) : ""));
      break;
    }
  }
}

// A flow from the earliest of the testers that met to the latest, through
// the others; each end binds to the step around it.
void write_rendezvous(trace_writer& w) {
  uint64_t id = 0;
  for (const rendezvous& meeting : w.run.lanes.meetings) {
    std::vector<const mark*> met;
    for (uint32_t i : meeting.marks) met.push_back(&w.run.lanes.marks[i]);
    std::stable_sort(met.begin(), met.end(), [](const mark* a, const mark* b) { return a->start < b->start; });
    std::string name = json_string(clipped(meeting.name, NAME_BYTES));
    std::string flow = ", \"cat\": \"rendezvous\", \"id\": " + std::to_string(++id);
    for (size_t k = 0; k < met.size(); ++k) {
      const char* phase = k == 0 ? "s" : k + 1 == met.size() ? "f" : "t";
      w.event(phase, name, *met[k], STEPS, flow + (k + 1 == met.size() ? ", \"bp\": \"e\"" : ""));
    }
  }
}

} // namespace

std::string render_trace(const run_view& run) {
  trace_writer w{run, merged_tick_of(run.clocks), nesting_tracks(run.lanes), {}, {}};
  w.out = std::string(JSON_OUTPUT_OPENING) + "\"displayTimeUnit\": \"ms\",\n\"traceEvents\": [\n";
  write_processes(w);
  write_marks(w);
  write_rendezvous(w);
  if (w.out.back() == '\n' && w.out[w.out.size() - 2] == ',') w.out.erase(w.out.size() - 2, 1);
  w.out += "]}\n";
  return w.out;
}
