#pragma once

#include <string>

#include "run_view.h"

// The run as JUnit XML, as CI servers read test results: one testsuite per
// tester, one testcase per test step it ran. Passed steps are left out when
// all would pass `budget` bytes (the file says how many); throws tool_failure
// when even the others would.
std::string render_junit(const run_view& run, size_t budget);

const size_t JUNIT_BYTES = 64u << 20;
