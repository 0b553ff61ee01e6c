#include "tester_match.h"

#include <deque>
#include <map>

namespace {

std::string scenario_of(const tester& t) { return t.scenario.empty() ? "report " + std::to_string(t.report) : t.scenario; }

std::vector<std::string> names_in(const run_view& run) {
  std::map<std::string, uint32_t> met;
  for (const tester& t : run.testers) ++met[scenario_of(t)];
  std::vector<std::string> names;
  for (const tester& t : run.testers) {
    std::string name = scenario_of(t);
    if (met[name] > 1) name += " (" + (t.rod_name.empty() ? "report " + std::to_string(t.report) : t.rod_name) + ")";
    names.push_back(std::move(name));
  }
  return names;
}

using report_key = std::pair<std::string, std::string>; // ROD report, scenario

std::map<report_key, std::vector<uint32_t>> by_report_of(const run_view& run) {
  std::map<report_key, std::vector<uint32_t>> found;
  for (uint32_t i = 0; i < run.testers.size(); ++i)
    if (!run.testers[i].rod_name.empty()) found[{run.testers[i].rod_name, scenario_of(run.testers[i])}].push_back(i);
  return found;
}

void pair_up(tester_match& m, uint32_t old_index, uint32_t new_index) {
  m.new_of_old[old_index] = new_index;
  m.old_of_new[new_index] = old_index;
  m.old_names[old_index] = m.new_names[new_index];
}

} // namespace

tester_match match_testers(const run_view& old_run, const run_view& new_run) {
  tester_match m{std::vector<int64_t>(old_run.testers.size(), -1), std::vector<int64_t>(new_run.testers.size(), -1),
                 names_in(old_run), names_in(new_run), 0, 0};
  std::map<report_key, std::vector<uint32_t>> old_reports = by_report_of(old_run);
  for (const auto& [k, news] : by_report_of(new_run)) {
    auto olds = old_reports.find(k);
    if (news.size() != 1 || olds == old_reports.end() || olds->second.size() != 1) continue;
    pair_up(m, olds->second[0], news[0]);
    ++m.by_report;
  }
  std::map<std::string, std::deque<uint32_t>> old_left;
  for (uint32_t i = 0; i < old_run.testers.size(); ++i)
    if (m.new_of_old[i] < 0) old_left[scenario_of(old_run.testers[i])].push_back(i);
  for (uint32_t i = 0; i < new_run.testers.size(); ++i) {
    if (m.old_of_new[i] >= 0) continue;
    std::deque<uint32_t>& olds = old_left[scenario_of(new_run.testers[i])];
    if (olds.empty()) continue;
    pair_up(m, olds.front(), i);
    olds.pop_front();
    ++m.by_position;
  }
  return m;
}
