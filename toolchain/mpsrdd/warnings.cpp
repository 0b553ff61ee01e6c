#include "warnings.h"

#include "html.h"

namespace {

const size_t WARNINGS_OF_A_KIND = 100;

void told(std::vector<std::string>& warnings, size_t& count, std::string text) {
  if (count++ < WARNINGS_OF_A_KIND) warnings.push_back(std::move(text));
}

void more(std::vector<std::string>& warnings, size_t count, const std::string& what) {
  if (count > WARNINGS_OF_A_KIND) warnings.push_back("and " + std::to_string(count - WARNINGS_OF_A_KIND) + " more " + what);
}

} // namespace

std::vector<std::string> run_warnings(const run_view& run) {
  std::vector<std::string> warnings;
  size_t unknown = 0;
  for (const tester& t : run.testers) {
    if (verdicts_known(t)) continue;
    std::string why = t.rod_name.empty() ? "tester " + lane_name(t) + " has no source record"
                                         : "ROD report " + t.rod.path + " of tester " + lane_name(t) + ": " + t.rod.missing;
    told(warnings, unknown, why + "; its own verdicts are unknown, only the merged ones are given");
  }
  more(warnings, unknown, "testers whose own verdicts are unknown");
  size_t overruled = 0;
  for (const merged_step& s : run.steps) {
    if (!s.overruled) continue;
    const rdd_record& fs = run.rdd.records[run.lanes.items[s.item].fs];
    told(warnings, overruled,
         run.path + ":" + std::to_string(fs.line) + ": FS status \"" + s.status +
             "\" is not what its testers' ROD reports give; the RDD report's status stands for every tester");
  }
  more(warnings, overruled, "FS statuses that the ROD reports contradict");
  return warnings;
}
