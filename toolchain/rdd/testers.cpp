#include "testers.h"

#include <algorithm>

std::vector<tester> testers_of(const rdd_report& rdd) {
  std::vector<tester> testers(rdd.testers.size());
  for (size_t i = 0; i < testers.size(); ++i) testers[i].report = rdd.testers[i];
  auto find = [&](uint32_t report) -> tester& { return testers[tester_index(testers, report)]; };
  for (const source_record& s : rdd.sources) {
    tester& t = find(s.report);
    if (!t.rod_name.empty()) continue;
    t.rod_name = s.name;
    t.rod = open_rod_source(s);
  }
  for (const rdd_record& r : rdd.records) {
    if (r.keyword() != "SC") continue;
    tester& t = find(rdd.report_of(r));
    if (!t.scenario.empty()) continue;
    report_line sc = rdd.fields_of(r);
    if (sc.fields.size() > 2) t.scenario = field_text(sc.fields[0]);
    if (sc.fields.size() > 3) t.description = field_text(sc.fields[1]);
  }
  return testers;
}

size_t tester_index(const std::vector<tester>& testers, uint32_t report) {
  auto at = std::lower_bound(testers.begin(), testers.end(), report,
                             [](const tester& t, uint32_t r) { return t.report < r; });
  return static_cast<size_t>(at - testers.begin());
}

std::string lane_name(const tester& t) {
  std::string name = t.scenario.empty() ? "report " + std::to_string(t.report) : t.scenario;
  return std::to_string(t.report) + " " + name;
}
