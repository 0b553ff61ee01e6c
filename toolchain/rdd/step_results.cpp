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

std::vector<step_result> step_results(const rdd_report& rdd, const timeline& lanes, const std::vector<tester>& testers) {
  std::unordered_map<uint64_t, uint32_t> step_mark;
  for (uint32_t i = 0; i < lanes.marks.size(); ++i)
    if (lanes.marks[i].row == mark_row::step) step_mark.emplace(key(lanes.marks[i].record, lanes.marks[i].report), i);
  std::vector<step_result> results;
  std::unordered_map<uint64_t, uint32_t> result_of; // by item and tester
  std::unordered_map<uint32_t, uint32_t> fs_line;   // of the item's FS record in each tester's ROD report
  for (uint32_t i = 0; i < lanes.items.size(); ++i) {
    const test_item& item = lanes.items[i];
    if (item.ds < 0 || rdd.records[item.ds].stray) continue;
    std::string merged;
    fs_line.clear();
    if (item.fs >= 0) {
      const rdd_record& fs = rdd.records[item.fs];
      merged = merged_status(rdd, fs);
      if (!fs.stray)
        for (uint32_t k = 0; k < fs.origins_count; ++k) fs_line.emplace(rdd.origins_of(fs)[k].report, rdd.origins_of(fs)[k].line);
    }
    const rdd_record& ds = rdd.records[item.ds];
    const origin* o = rdd.origins_of(ds);
    for (uint32_t k = 0; k < ds.origins_count; ++k) {
      uint32_t t = static_cast<uint32_t>(tester_index(testers, o[k].report));
      if (result_of.count(key(i, t))) continue;
      step_result result{i, t, merged, true, verdict::unknown, 0, 0, {}};
      auto line = fs_line.find(o[k].report);
      std::optional<std::string> own = line == fs_line.end() ? std::nullopt : own_status(testers[t], line->second);
      if (own) {
        result.status = *own;
        result.merged = false;
      }
      result.meaning = verdict_of(result.status);
      auto m = step_mark.find(key(static_cast<uint32_t>(item.ds), o[k].report));
      if (m != step_mark.end()) {
        result.start = lanes.marks[m->second].start;
        result.end = lanes.marks[m->second].end;
      }
      result_of.emplace(key(i, t), static_cast<uint32_t>(results.size()));
      results.push_back(std::move(result));
    }
  }
  attach_errors(rdd, lanes, testers, results, result_of);
  std::sort(results.begin(), results.end(),
            [](const step_result& a, const step_result& b) { return key(a.item, a.tester) < key(b.item, b.tester); });
  return results;
}
