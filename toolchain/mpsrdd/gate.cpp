#include "gate.h"

std::optional<fail_level> fail_level_of(const std::string& name) {
  if (name == "failed") return fail_level::failed;
  if (name == "inconclusive") return fail_level::inconclusive;
  if (name == "never") return fail_level::never;
  return std::nullopt;
}

bool run_fails(const run_view& run, fail_level level) {
  if (level == fail_level::never) return false;
  for (const merged_step& s : run.steps)
    if (s.meaning == verdict::failed || (level == fail_level::inconclusive && s.meaning != verdict::passed)) return true;
  return false;
}

std::vector<uint32_t> failed_without_errors(const run_view& run) {
  std::vector<bool> with_errors(run.lanes.items.size());
  for (const step_result& r : run.results)
    if (!r.errors.empty()) with_errors[r.item] = true;
  std::vector<uint32_t> steps;
  for (uint32_t i = 0; i < run.steps.size(); ++i)
    if (run.steps[i].meaning == verdict::failed && !with_errors[run.steps[i].item]) steps.push_back(i);
  return steps;
}
