#pragma once

#include <string>

#include "run_view.h"

// One line for the run, one per tester with the verdicts of the steps it ran
// (the merged ones, said so, where its own are unknown) and its ER records,
// one with the testers' verdicts counted together and one with the RDD
// report's merged verdicts: for a shell or a CI log.
std::string render_summary(const run_view& run);
