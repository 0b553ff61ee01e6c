#pragma once

#include <string>

#include "run_view.h"

// One line for the run, one per tester with the verdicts of the steps it ran
// and its ER records, and one with the whole run's count: for a shell or a
// CI log.
std::string render_summary(const run_view& run);
