#include "compare.h"

#include <algorithm>
#include <map>

#include "html.h"
#include "tester_match.h"

namespace {

// Keys that match the parts of two runs: a name and, for names met more
// than once, the count of those before.
using key = std::pair<std::string, uint32_t>;

std::vector<key> keyed(const std::vector<std::string>& names) {
  std::map<std::string, uint32_t> seen;
  std::vector<key> keys;
  for (const std::string& name : names) keys.push_back({name, seen[name]++});
  return keys;
}

const char SEPARATOR = '\x1f';

// Test steps by item and name; items without a step take no part.
std::map<key, uint32_t> step_keys(const run_view& run) {
  std::vector<std::string> names;
  std::vector<uint32_t> items;
  for (uint32_t i = 0; i < run.lanes.items.size(); ++i) {
    const test_item& item = run.lanes.items[i];
    if (item.ds < 0 || run.rdd.records[item.ds].stray) continue;
    names.push_back(item_name_of(run.rdd, item) + SEPARATOR + step_name_of(run.rdd, item));
    items.push_back(i);
  }
  std::vector<key> keys = keyed(names);
  std::map<key, uint32_t> index;
  for (uint32_t i = 0; i < keys.size(); ++i) index[keys[i]] = items[i];
  return index;
}

std::string item_of(const key& step) { return step.first.substr(0, step.first.find(SEPARATOR)); }
std::string step_of(const key& step) { return step.first.substr(step.first.find(SEPARATOR) + 1); }

std::string step_shown(const key& step) {
  std::string item = item_of(step);
  return (item.empty() ? "" : item + " ") + step_of(step) + (step.second ? " (" + std::to_string(step.second + 1) + ")" : "");
}

const merged_step* merged_of(const run_view& run, uint32_t item) {
  auto at = std::lower_bound(run.steps.begin(), run.steps.end(), item,
                             [](const merged_step& s, uint32_t i) { return s.item < i; });
  return at != run.steps.end() && at->item == item ? &*at : nullptr;
}

// The RDD reports' own verdicts, told where no tester's change tells it.
void add_merged_change(const run_view& old_run, const run_view& new_run, const key& k, uint32_t old_item,
                       uint32_t new_item, std::vector<status_change>& changed) {
  const merged_step* then = merged_of(old_run, old_item);
  const merged_step* now = merged_of(new_run, new_item);
  if (then && now && then->status != now->status)
    changed.push_back({"", item_of(k), step_of(k), then->status, now->status, then->meaning, now->meaning});
}

void compare_testers(const tester_match& m, const run_view& old_run, const run_view& new_run, run_differences& d) {
  for (uint32_t i = 0; i < m.new_of_old.size(); ++i)
    if (m.new_of_old[i] < 0) d.testers.add({"tester " + lane_name(old_run.testers[i]), false});
  for (uint32_t i = 0; i < m.old_of_new.size(); ++i)
    if (m.old_of_new[i] < 0) d.testers.add({"tester " + lane_name(new_run.testers[i]), true});
  for (uint32_t i = 0; i < m.new_of_old.size(); ++i) {
    if (m.new_of_old[i] < 0) continue;
    clock_change c{m.old_names[i], &old_run.clocks[i], &new_run.clocks[m.new_of_old[i]]};
    // A clock not known on one side did not move as far as can be told.
    bool known = c.then->scale && c.then->shift && c.now->scale && c.now->shift;
    if (known && (c.then->scale != c.now->scale || c.then->shift != c.now->shift)) d.moved.add(c);
  }
}

// The results of one item, which are sorted by item and then tester.
struct item_results {
  const step_result *begin, *end;

  const step_result* of(uint32_t tester) const {
    const step_result* at = std::lower_bound(begin, end, tester, [](const step_result& r, uint32_t t) { return r.tester < t; });
    return at != end && at->tester == tester ? at : nullptr;
  }
};

item_results results_of(const run_view& run, uint32_t item) {
  auto first = [&](uint32_t i) {
    return std::lower_bound(run.results.begin(), run.results.end(), i,
                            [](const step_result& r, uint32_t k) { return r.item < k; });
  };
  const step_result* data = run.results.data();
  return {data + (first(item) - run.results.begin()), data + (first(item + 1) - run.results.begin())};
}

// What the steps both runs have tell: changed statuses and lengths.
struct step_findings {
  std::vector<status_change> changed;
  std::vector<timing_change> timings;
};

void compare_length(const std::string& tester, const key& k, const step_result& then, const step_result& now,
                    const std::optional<length_unit>& unit, step_findings& found) {
  if (!unit || !then.timed || !now.timed) return;
  std::optional<int64_t> old_length = in_unit(int64_t{then.end} - then.start, unit->old_tick);
  std::optional<int64_t> new_length = in_unit(int64_t{now.end} - now.start, unit->new_tick);
  if (old_length && new_length && length_changed(*old_length, *new_length, *unit))
    found.timings.push_back({tester, item_of(k), step_of(k), then.start, now.start, *old_length, *new_length});
}

// A tester's steps of one run only, and the changes of one step.
void compare_step(const key& k, const item_results& old_results, const item_results& new_results, const tester_match& m,
                  run_differences& d, step_findings& found) {
  for (const step_result* then = old_results.begin; then != old_results.end; ++then) {
    int64_t t = m.new_of_old[then->tester];
    if (t < 0) continue;
    const step_result* now = new_results.of(static_cast<uint32_t>(t));
    const std::string& name = m.old_names[then->tester];
    if (!now) {
      d.one_run.add({"test step " + step_shown(k) + " of tester " + name, false});
      continue;
    }
    compare_length(name, k, *then, *now, d.lengths, found);
    // A status that stands in for the tester's own is no verdict of it.
    if (!then->merged && !now->merged && then->status != now->status)
      found.changed.push_back({name, item_of(k), step_of(k), then->status, now->status, then->meaning, now->meaning});
  }
  for (const step_result* now = new_results.begin; now != new_results.end; ++now) {
    int64_t t = m.old_of_new[now->tester];
    if (t >= 0 && !old_results.of(static_cast<uint32_t>(t)))
      d.one_run.add({"test step " + step_shown(k) + " of tester " + m.new_names[now->tester], true});
  }
}

// Statuses of the steps both runs have, those that now fail first, and
// their lengths, the largest changes first.
void compare_statuses(const std::map<key, uint32_t>& old_steps, const std::map<key, uint32_t>& new_steps,
                      const tester_match& m, const run_view& old_run, const run_view& new_run, run_differences& d) {
  step_findings found;
  for (const auto& [k, old_item] : old_steps) {
    auto new_item = new_steps.find(k);
    if (new_item == new_steps.end()) continue;
    size_t told = found.changed.size();
    compare_step(k, results_of(old_run, old_item), results_of(new_run, new_item->second), m, d, found);
    if (found.changed.size() == told) add_merged_change(old_run, new_run, k, old_item, new_item->second, found.changed);
  }
  std::stable_sort(found.changed.begin(), found.changed.end(), [](const status_change& a, const status_change& b) {
    return (a.is == verdict::failed) > (b.is == verdict::failed);
  });
  for (status_change& c : found.changed) d.changed.add(std::move(c));
  auto size = [](const timing_change& t) { return t.change() < 0 ? -t.change() : t.change(); };
  std::stable_sort(found.timings.begin(), found.timings.end(),
                   [&](const timing_change& a, const timing_change& b) { return size(a) > size(b); });
  for (timing_change& t : found.timings) d.timings.add(std::move(t));
}

// Items and steps of one run only, then the steps both have but a tester ran in one only.
void compare_steps(const std::map<key, uint32_t>& old_steps, const std::map<key, uint32_t>& new_steps,
                   const tester_match& m, const run_view& old_run, const run_view& new_run, run_differences& d) {
  std::map<std::string, std::vector<std::string>> items[2];
  auto step_named = [](const key& k) { return step_of(k) + (k.second ? " (" + std::to_string(k.second + 1) + ")" : ""); };
  for (const auto& [k, i] : old_steps) items[0][item_of(k)].push_back(step_named(k));
  for (const auto& [k, i] : new_steps) items[1][item_of(k)].push_back(step_named(k));
  for (int side = 0; side < 2; ++side)
    for (const auto& [item, steps] : items[side]) {
      if (items[1 - side].count(item)) continue;
      std::string what = "test item " + (item.empty() ? std::string("without name") : item) + ": ";
      for (size_t i = 0; i < steps.size(); ++i) what += (i ? ", " : "") + steps[i];
      d.one_run.add({what, side == 1});
    }
  const std::map<key, uint32_t>* steps[2] = {&old_steps, &new_steps};
  for (int side = 0; side < 2; ++side)
    for (const auto& [k, i] : *steps[side])
      if (!steps[1 - side]->count(k) && items[1 - side].count(item_of(k)))
        d.one_run.add({"test step " + step_shown(k), side == 1});
  compare_statuses(old_steps, new_steps, m, old_run, new_run, d);
}

std::map<std::pair<std::string, std::string>, std::vector<uint32_t>> errors_of(const run_view& run,
                                                                            const std::vector<std::string>& names) {
  std::map<std::pair<std::string, std::string>, std::vector<uint32_t>> errors;
  for (const rdd_record& r : run.rdd.records) {
    if (r.keyword() != "ER" || r.stray) continue;
    report_line split = run.rdd.fields_of(r);
    std::string text;
    for (size_t i = 0; i < r.fields_before_tail && i < split.fields.size(); ++i)
      text += (i ? " " : "") + field_text(split.fields[i]);
    errors[{names[tester_index(run.testers, run.rdd.report_of(r))], text}].push_back(r.line);
  }
  return errors;
}

void compare_errors(const tester_match& m, const run_view& old_run, const run_view& new_run, run_differences& d) {
  auto old_errors = errors_of(old_run, m.old_names), new_errors = errors_of(new_run, m.new_names);
  auto extra = [&](const auto& these, const auto& those, bool in_new) {
    for (const auto& [k, lines] : these) {
      auto other = those.find(k);
      size_t matched = other == those.end() ? 0 : other->second.size();
      for (size_t i = matched; i < lines.size(); ++i) d.errors.add({k.first, k.second, lines[i], in_new});
    }
  };
  extra(old_errors, new_errors, false);
  extra(new_errors, old_errors, true);
}

} // namespace

run_differences compare_runs(const run_view& old_run, const run_view& new_run) {
  run_differences d;
  d.plans_differ = old_run.rdd.plan != new_run.rdd.plan;
  d.lengths = length_unit_of(merged_tick_of(old_run.clocks), merged_tick_of(new_run.clocks));
  tester_match m = match_testers(old_run, new_run);
  d.matched_by_report = m.by_report;
  d.matched_by_position = m.by_position;
  compare_testers(m, old_run, new_run, d);
  compare_steps(step_keys(old_run), step_keys(new_run), m, old_run, new_run, d);
  compare_errors(m, old_run, new_run, d);
  return d;
}

std::string status_text(verdict meaning, const std::string& raw) {
  return std::string(verdict_name(meaning)) + (raw.empty() ? "" : " (" + raw + ")");
}

std::string clock_text(const clock_alignment* c) {
  std::string unit = c->merged ? " " + c->merged->label : std::string();
  return "scale " + (c->scale ? "\xC3\x97" + std::to_string(*c->scale) : std::string("unknown")) + ", shift " +
         (c->shift ? std::to_string(*c->shift) + unit : std::string("unknown"));
}
