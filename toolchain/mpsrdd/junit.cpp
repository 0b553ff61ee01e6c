#include "junit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "html.h"
#include "output_file.h"
#include "tool_failure.h"

namespace {

const size_t NAME_LIMIT = 256;
const size_t TEXT_LIMIT = 1024;
const size_t ERRORS_LISTED = 20; // ER records told in one failure

struct tally {
  uint64_t tests = 0, failures = 0, errors = 0, skipped = 0, passed_left_out = 0;
  double seconds = 0;
};

// A tick label's length in seconds: a unit of time, after a whole number of
// them or not ("ms", "10us").
std::optional<double> seconds_of_label(const std::string& label) {
  static const struct {
    const char* unit;
    double seconds;
  } UNITS[] = {{"s", 1}, {"ms", 1e-3}, {"us", 1e-6}, {"\xC2\xB5s", 1e-6}, {"ns", 1e-9}};
  size_t digits = label.find_first_not_of("0123456789");
  if (digits == std::string::npos || digits > 9) return std::nullopt;
  double count = digits ? std::stod(label.substr(0, digits)) : 1;
  for (const auto& unit : UNITS)
    if (label.compare(digits, std::string::npos, unit.unit) == 0 && count > 0) return count * unit.seconds;
  return std::nullopt;
}

// A tick's length in seconds, where every tester's merged clock names one
// length of time as its tick label.
std::optional<double> seconds_per_tick(const run_view& run) {
  std::optional<double> tick;
  for (const clock_alignment& c : run.clocks) {
    if (!c.merged) continue;
    std::optional<double> seconds = seconds_of_label(c.merged->label);
    if (!seconds || (tick && std::abs(*tick - *seconds) > 1e-9 * *tick)) return std::nullopt;
    tick = seconds;
  }
  return tick;
}

// The RDD header's date ("Tue Mar 12 09:00:00 2024", when the merge ran) as
// ISO 8601 without a zone, as JUnit's timestamp wants it.
std::optional<std::string> iso_date(const std::string& date) {
  static const char MONTHS[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  char weekday[4], month[4], rest;
  int day, hour, minute, second, year;
  if (sscanf(date.c_str(), "%3s %3s %d %d:%d:%d %d %c", weekday, month, &day, &hour, &minute, &second, &year, &rest) != 7)
    return std::nullopt;
  const char* found = strlen(month) == 3 ? strstr(MONTHS, month) : nullptr;
  if (!found || (found - MONTHS) % 3 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 || year < 1 ||
      year > 9999 || hour < 0 || minute < 0 || second < 0)
    return std::nullopt;
  char iso[64];
  snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d", year, static_cast<int>((found - MONTHS) / 3 + 1), day, hour,
           minute, second);
  return std::string(iso);
}

std::string decimal(double value) {
  char text[64];
  snprintf(text, sizeof text, "%.6f", value);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

void attribute(std::string& out, const char* name, const std::string& value, size_t limit = NAME_LIMIT) {
  out += ' ';
  out += name;
  out += "=\"";
  append_escaped(out, clipped(value, limit));
  out += '"';
}

void property(std::string& out, const std::string& name, const std::string& value) {
  out += "      <property";
  attribute(out, "name", name);
  attribute(out, "value", value, TEXT_LIMIT);
  out += "/>\n";
}

std::string error_text(const run_view& run, uint32_t record) {
  const rdd_record& r = run.rdd.records[record];
  report_line split = run.rdd.fields_of(r);
  std::string text = "RDD line " + std::to_string(r.line) + ":";
  for (size_t i = 0; i < r.fields_before_tail && i < split.fields.size(); ++i)
    text += (i ? " \xC2\xB7 " : " ") + field_text(split.fields[i]);
  return clipped(text, TEXT_LIMIT);
}

void append_errors(std::string& out, const run_view& run, const std::vector<uint32_t>& errors) {
  for (size_t i = 0; i < errors.size() && i < ERRORS_LISTED; ++i) {
    append_escaped(out, error_text(run, errors[i]));
    out += '\n';
  }
  if (errors.size() > ERRORS_LISTED) out += "and " + std::to_string(errors.size() - ERRORS_LISTED) + " more ER records\n";
}

std::string fs_line_of(const run_view& run, const step_result& r) {
  int64_t fs = run.lanes.items[r.item].fs;
  return fs < 0 ? std::string("missing") : "RDD line " + std::to_string(run.rdd.records[fs].line);
}

std::string status_told(const step_result& r) {
  std::string told = r.status.empty() ? "no FS status could be read" : "FS status " + r.status;
  if (r.merged && !r.status.empty()) told += ", the merged status of all testers";
  return told;
}

// The element under a testcase that tells its verdict, counted in the tally.
void append_verdict(std::string& out, const run_view& run, const step_result& r, tally& t) {
  std::string told = status_told(r);
  switch (r.meaning) {
  case verdict::passed: break;
  case verdict::failed:
    ++t.failures;
    out += "      <failure type=\"failed\"";
    attribute(out, "message", "failed (" + told + ")" + (r.errors.empty() ? "" : ": " + error_text(run, r.errors[0])), TEXT_LIMIT);
    out += ">";
    if (r.errors.empty()) out += "no ER record in this test step; its FS record is " + fs_line_of(run, r) + "\n";
    append_errors(out, run, r.errors);
    out += "</failure>\n";
    break;
  case verdict::inconclusive:
    ++t.skipped;
    out += "      <skipped";
    attribute(out, "message", "inconclusive (" + told + ")", TEXT_LIMIT);
    out += "/>\n";
    break;
  case verdict::unknown:
    ++t.errors;
    out += "      <error type=\"unknown status\"";
    attribute(out, "message", "status unknown (" + told + ")", TEXT_LIMIT);
    out += "/>\n";
    break;
  }
}

// Every testcase of a file has its own classname and name: the suite's
// tester (or "merged") before the test item, and a count after a step name
// met again in the same item.
struct case_names {
  std::string prefix;
  std::unordered_map<std::string, uint32_t> seen;

  std::pair<std::string, std::string> of(const run_view& run, const test_item& item) {
    std::string item_name = item_name_of(run.rdd, item);
    std::string classname = prefix + "." + (item_name.empty() ? "(no test item)" : item_name);
    std::string name = step_name_of(run.rdd, item);
    uint32_t n = ++seen[classname + '\x1f' + name];
    return {classname, n > 1 ? name + " (" + std::to_string(n) + ")" : name};
  }
};

void append_case(std::string& out, const run_view& run, const step_result& r, std::optional<double> tick,
                 case_names& names, tally& t) {
  auto [classname, name] = names.of(run, run.lanes.items[r.item]);
  out += "    <testcase";
  attribute(out, "classname", classname);
  attribute(out, "name", name);
  if (tick) {
    double seconds = (r.end - r.start) * *tick;
    attribute(out, "time", decimal(seconds));
    t.seconds += seconds;
  }
  ++t.tests;
  if (r.meaning == verdict::passed && r.errors.empty()) {
    out += "/>\n";
    return;
  }
  out += ">\n";
  append_verdict(out, run, r, t);
  if (r.meaning != verdict::failed && !r.errors.empty()) {
    out += "      <system-err>";
    append_errors(out, run, r.errors);
    out += "</system-err>\n";
  }
  out += "    </testcase>\n";
}

void append_properties(std::string& out, const run_view& run, const std::vector<std::string>& own) {
  out += "    <properties>\n";
  property(out, "plan", run.rdd.plan_shown());
  property(out, "date", run.rdd.date);
  property(out, "report", file_name_of(run.path));
  for (size_t i = 0; i + 1 < own.size(); i += 2) property(out, own[i], own[i + 1]);
  out += "    </properties>\n";
}

// Names and values of a tester suite's own properties.
std::vector<std::string> tester_properties(const run_view& run, size_t tester) {
  const clock_alignment& c = run.clocks[tester];
  std::vector<std::string> own{"rod report", run.testers[tester].rod_name};
  if (c.merged) own.insert(own.end(), {"clock", c.merged->name + " (ticks: " + c.merged->label + ")"});
  own.insert(own.end(), {"clock scale", c.scale ? std::to_string(*c.scale) : "unknown"});
  own.insert(own.end(), {"clock shift", c.shift ? std::to_string(*c.shift) : "unknown"});
  return own;
}

std::vector<std::string> merged_properties(const run_view& run) {
  std::string unknown;
  for (const tester& t : run.testers)
    if (!verdicts_known(t) && unknown.size() < TEXT_LIMIT) unknown += (unknown.empty() ? "" : ", ") + lane_name(t);
  return {"verdicts unknown for", unknown};
}

std::string counts(const tally& t, bool with_time) {
  std::string text = " tests=\"" + std::to_string(t.tests) + "\" failures=\"" + std::to_string(t.failures) +
                     "\" errors=\"" + std::to_string(t.errors) + "\" skipped=\"" + std::to_string(t.skipped) + "\"";
  return with_time ? text + " time=\"" + decimal(t.seconds) + "\"" : text;
}

void add(tally& all, const tally& suite) {
  all.tests += suite.tests;
  all.failures += suite.failures;
  all.errors += suite.errors;
  all.skipped += suite.skipped;
  all.seconds += suite.seconds;
}

// A suite per tester with verdicts of its own, holding those, and last one
// of merged verdicts: a testcase per step where the merged status stands for
// some tester, so that no failure is counted twice.
struct suites {
  std::vector<std::vector<uint32_t>> results;        // in run.results, or in merged_cases for the last suite
  std::vector<std::vector<uint32_t>> errors_outside; // ER records outside every step
  std::vector<step_result> merged_cases;
};

// The merged case of a step spans all its testers and holds all their ER records.
std::vector<step_result> merged_cases_of(const run_view& run) {
  std::vector<bool> stands_in(run.lanes.items.size());
  for (const step_result& r : run.results)
    if (r.merged) stands_in[r.item] = true;
  std::vector<step_result> cases;
  for (const merged_step& s : run.steps)
    if (stands_in[s.item]) cases.push_back({s.item, 0, s.status, true, s.meaning, UINT32_MAX, 0, {}});
  size_t next = 0;
  for (const step_result& r : run.results) {
    while (next < cases.size() && cases[next].item < r.item) ++next;
    if (next == cases.size() || cases[next].item != r.item) continue;
    step_result& c = cases[next];
    c.start = std::min(c.start, r.start);
    c.end = std::max(c.end, r.end);
    c.errors.insert(c.errors.end(), r.errors.begin(), r.errors.end());
  }
  return cases;
}

suites sorted_by_suite(const run_view& run) {
  size_t merged = run.testers.size();
  suites sorted{std::vector<std::vector<uint32_t>>(merged + 1), std::vector<std::vector<uint32_t>>(merged + 1),
                merged_cases_of(run)};
  std::vector<bool> in_step(run.rdd.records.size());
  for (uint32_t i = 0; i < run.results.size(); ++i) {
    if (!run.results[i].merged) sorted.results[run.results[i].tester].push_back(i);
    for (uint32_t e : run.results[i].errors) in_step[e] = true;
  }
  for (uint32_t i = 0; i < sorted.merged_cases.size(); ++i) sorted.results[merged].push_back(i);
  for (uint32_t i = 0; i < run.rdd.records.size(); ++i) {
    const rdd_record& r = run.rdd.records[i];
    if (r.keyword() != "ER" || r.stray || in_step[i]) continue;
    size_t t = tester_index(run.testers, run.rdd.report_of(r));
    sorted.errors_outside[verdicts_known(run.testers[t]) ? t : merged].push_back(i);
  }
  return sorted;
}

bool has_suite(const run_view& run, const suites& sorted, size_t suite) {
  if (suite < run.testers.size()) return verdicts_known(run.testers[suite]);
  return !sorted.results[suite].empty() || !sorted.errors_outside[suite].empty();
}

// The suite's testcases and system-err; false when they would pass the budget.
bool append_cases(std::string& body, const run_view& run, const suites& sorted, size_t suite, size_t budget,
                  bool passed_listed, std::optional<double> tick, tally& counted) {
  bool merged = suite == run.testers.size();
  case_names names{merged ? std::string("merged") : lane_name(run.testers[suite]), {}};
  for (uint32_t i : sorted.results[suite]) {
    if (body.size() > budget) return false;
    const step_result& r = merged ? sorted.merged_cases[i] : run.results[i];
    if (r.meaning == verdict::passed && !passed_listed) ++counted.passed_left_out;
    else append_case(body, run, r, tick, names, counted);
  }
  const std::vector<uint32_t>& outside = sorted.errors_outside[suite];
  if (outside.empty() && !counted.passed_left_out) return true;
  body += "    <system-err>";
  if (counted.passed_left_out)
    body += std::to_string(counted.passed_left_out) + " passed test steps are not listed, to keep this file under " +
            std::to_string(budget >> 20) + " MiB\n";
  append_errors(body, run, outside);
  body += "</system-err>\n";
  return true;
}

// Nothing when it would pass the budget.
std::optional<std::string> render(const run_view& run, const suites& sorted, size_t budget, bool passed_listed) {
  std::optional<double> tick = seconds_per_tick(run);
  std::optional<std::string> timestamp = iso_date(run.rdd.date);
  std::string all_suites;
  tally all;
  for (size_t t = 0; t <= run.testers.size(); ++t) {
    if (!has_suite(run, sorted, t)) continue;
    bool merged = t == run.testers.size();
    std::string body;
    append_properties(body, run, merged ? merged_properties(run) : tester_properties(run, t));
    tally suite;
    if (!append_cases(body, run, sorted, t, budget - std::min(budget, all_suites.size()), passed_listed, tick,
                      suite))
      return std::nullopt;
    all_suites += "  <testsuite";
    attribute(all_suites, "name", merged ? std::string("merged verdicts") : lane_name(run.testers[t]));
    if (timestamp) attribute(all_suites, "timestamp", *timestamp);
    all_suites += " id=\"" + std::to_string(t) + "\"" + counts(suite, tick.has_value()) + ">\n" + body + "  </testsuite>\n";
    add(all, suite);
    if (all_suites.size() > budget) return std::nullopt;
  }
  std::string out = XML_OUTPUT_OPENING;
  out += "<testsuites";
  attribute(out, "name", run.rdd.plan_shown());
  out += counts(all, tick.has_value()) + ">\n" + all_suites + "</testsuites>\n";
  return out;
}

} // namespace

std::string render_junit(const run_view& run, size_t budget) {
  suites sorted = sorted_by_suite(run);
  std::optional<std::string> all = render(run, sorted, budget, true);
  if (all) return *all;
  std::optional<std::string> failing = render(run, sorted, budget, false);
  if (failing) return *failing;
  fail_on(run.path, "its JUnit file would pass " + std::to_string(budget >> 20) + " MiB even without its passed steps");
}
