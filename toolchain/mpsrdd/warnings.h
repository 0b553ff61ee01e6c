#pragma once

#include <string>
#include <vector>

#include "run_view.h"

// What a reader of any output must know that the output cannot show: the
// testers whose own verdicts are unknown, and why; the merged statuses that
// verified ROD reports contradict, where the RDD report's stands.
std::vector<std::string> run_warnings(const run_view& run);
