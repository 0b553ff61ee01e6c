#pragma once

#include <optional>
#include <string>

#include "run_view.h"

// What fails a build: a failed step, or also an inconclusive or unknown one,
// or nothing.
enum class fail_level { failed, inconclusive, never };

std::optional<fail_level> fail_level_of(const std::string& name);

// Judged on the RDD report's merged verdicts, which every tester's fold into.
bool run_fails(const run_view& run, fail_level level);

// Where a step failed and no ER record of any of its testers says why.
std::vector<uint32_t> failed_without_errors(const run_view& run); // in run.steps
