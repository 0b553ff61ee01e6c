#include "step_results.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

verdict verdict_of(std::string_view status) {
  if (status == "0") return verdict::passed;
  if (status == "1") return verdict::failed;
  if (status == "2") return verdict::inconclusive;
  return verdict::unknown;
}

const char* verdict_name(verdict v) {
  static const char* const NAMES[] = {"passed", "failed", "inconclusive", "unknown"};
  return NAMES[static_cast<int>(v)];
}

std::string item_name_of(const rdd_report& rdd, const test_item& item) {
  if (item.ds < 0) return std::string();
  const rdd_record& ds = rdd.records[item.ds];
  report_line split = rdd.fields_of(ds);
  return ds.fields_before_tail > 3 ? field_text(split.fields[3]) : std::string();
}

std::string step_name_of(const rdd_report& rdd, const test_item& item) {
  if (item.ds < 0) return std::string();
  return field_text(rdd.fields_of(rdd.records[item.ds]).fields.at(0));
}

namespace {

// The merged FS record keeps the worst status of all testers.
std::string merged_status(const rdd_report& rdd, const rdd_record& fs) {
  if (fs.stray || fs.fields_before_tail < 3) return std::string();
  return field_text(rdd.fields_of(fs).fields[2]);
}

// A tester's own status is in its ROD report, on the line its FS record came from.
std::optional<std::string> own_status(const tester& t, uint32_t rod_line) {
  report_line split;
  if (!t.rod.available || !split_report_line(t.rod.record_line(rod_line), split) || split.keyword != "FS" ||
      split.fields.size() < 3)
    return std::nullopt;
  return field_text(split.fields[2]);
}

// The merge keeps "1" once met, takes "2" over anything else, and otherwise
// the first report's status.
bool merges_into(const std::string& own, const std::string& merged) {
  if (own == "1") return merged == "1";
  if (own == "2") return merged == "1" || merged == "2";
  return true;
}

// Each tester's own status, where its ROD report gives one, unless they
// contradict the RDD report's merged status.
struct step_verdicts {
  std::string merged;
  std::unordered_map<uint32_t, std::string> own; // by report number
  bool overruled = false;
};

step_verdicts verdicts_of_step(const rdd_report& rdd, const test_item& item, const std::vector<tester>& testers) {
  step_verdicts v;
  if (item.fs < 0) return v;
  const rdd_record& fs = rdd.records[item.fs];
  v.merged = merged_status(rdd, fs);
  if (fs.stray) return v;
  std::vector<std::string> in_merge_order;
  bool agree = true;
  for (uint32_t k = 0; k < fs.origins_count; ++k) {
    const origin& o = rdd.origins_of(fs)[k];
    std::optional<std::string> own = own_status(testers[tester_index(testers, o.report)], o.line);
    if (!own) continue;
    agree = agree && merges_into(*own, v.merged);
    in_merge_order.push_back(*own);
    v.own.emplace(o.report, std::move(*own));
  }
  if (!in_merge_order.empty() && in_merge_order.size() == fs.origins_count)
    agree = agree && merge_of_statuses(in_merge_order) == v.merged;
  // A status the RDD report does not give contradicts nothing.
  if (!agree && !v.merged.empty()) {
    v.own.clear();
    v.overruled = true;
  }
  return v;
}

uint64_t key(uint32_t a, uint32_t b) { return (static_cast<uint64_t>(a) << 32) | b; }

struct open_step {
  int64_t fs;
  uint32_t item;
};

// Each ER record belongs to the innermost step around it.
void attach_errors(const rdd_report& rdd, const timeline& lanes, const std::vector<tester>& testers,
                   std::vector<step_result>& results, const std::unordered_map<uint64_t, uint32_t>& result_of) {
  std::vector<open_step> steps;
  for (uint32_t i = 0; i < lanes.items.size(); ++i)
    if (lanes.items[i].ds >= 0) steps.push_back({lanes.items[i].fs, i});
  std::sort(steps.begin(), steps.end(),
            [&](const open_step& a, const open_step& b) { return lanes.items[a.item].ds < lanes.items[b.item].ds; });
  std::vector<open_step> open;
  size_t next = 0;
  for (uint32_t r = 0; r < rdd.records.size(); ++r) {
    while (next < steps.size() && lanes.items[steps[next].item].ds == r) open.push_back(steps[next++]);
    while (!open.empty() && open.back().fs >= 0 && open.back().fs < r) open.pop_back();
    const rdd_record& record = rdd.records[r];
    if (record.keyword() != "ER" || record.stray || open.empty()) continue;
    uint32_t tester = static_cast<uint32_t>(tester_index(testers, rdd.report_of(record)));
    auto found = result_of.find(key(open.back().item, tester));
    if (found != result_of.end()) results[found->second].errors.push_back(r);
  }
}

} // namespace

std::string merge_of_statuses(const std::vector<std::string>& statuses) {
  std::string merged = statuses.empty() ? std::string() : statuses.front();
  for (const std::string& status : statuses)
    if (merged != "1" && (status == "1" || status == "2")) merged = status;
  return merged;
}

namespace {

using step_marks = std::unordered_map<uint64_t, uint32_t>; // by DS record and report number

step_marks step_marks_of(const timeline& lanes) {
  step_marks marks;
  for (uint32_t i = 0; i < lanes.marks.size(); ++i)
    if (lanes.marks[i].row == mark_row::step) marks.emplace(key(lanes.marks[i].record, lanes.marks[i].report), i);
  return marks;
}

struct results_in_making {
  std::vector<step_result> results;
  std::unordered_map<uint64_t, uint32_t> result_of; // by item and tester
};

// One result per tester that ran the step, in the order of its DS record's tail.
void add_results(const rdd_report& rdd, const timeline& lanes, const std::vector<tester>& testers, const step_marks& marks,
                 uint32_t i, const step_verdicts& v, results_in_making& made) {
  const test_item& item = lanes.items[i];
  const rdd_record& ds = rdd.records[item.ds];
  const origin* o = rdd.origins_of(ds);
  for (uint32_t k = 0; k < ds.origins_count; ++k) {
    uint32_t t = static_cast<uint32_t>(tester_index(testers, o[k].report));
    if (made.result_of.count(key(i, t))) continue;
    step_result result{i, t, v.merged, true, verdict::unknown, 0, 0, {}};
    auto own = v.own.find(o[k].report);
    if (own != v.own.end()) {
      result.status = own->second;
      result.merged = false;
    }
    result.meaning = verdict_of(result.status);
    auto m = marks.find(key(static_cast<uint32_t>(item.ds), o[k].report));
    if (m != marks.end()) {
      result.start = lanes.marks[m->second].start;
      result.end = lanes.marks[m->second].end;
      result.timed = true;
    }
    made.result_of.emplace(key(i, t), static_cast<uint32_t>(made.results.size()));
    made.results.push_back(std::move(result));
  }
}

} // namespace

step_table step_results(const rdd_report& rdd, const timeline& lanes, const std::vector<tester>& testers) {
  step_marks marks = step_marks_of(lanes);
  step_table table;
  results_in_making made;
  for (uint32_t i = 0; i < lanes.items.size(); ++i) {
    const test_item& item = lanes.items[i];
    if (item.ds < 0 || rdd.records[item.ds].stray) continue;
    step_verdicts v = verdicts_of_step(rdd, item, testers);
    table.steps.push_back({i, v.merged, verdict_of(v.merged), v.overruled});
    add_results(rdd, lanes, testers, marks, i, v, made);
  }
  attach_errors(rdd, lanes, testers, made.results, made.result_of);
  std::sort(made.results.begin(), made.results.end(),
            [](const step_result& a, const step_result& b) { return key(a.item, a.tester) < key(b.item, b.tester); });
  table.results = std::move(made.results);
  return table;
}
