#pragma once

// The runs of the toolchain's programs: the post-processor once per RIO file,
// which leaves its ROD report beside it, and the report bridge on the RDD
// report.

#include <cstdint>
#include <optional>
#include <string>

#include "driver/run_plan.h"

// Runs the post-processor of mps_dir once per tester, TDC file by TDC file;
// without mps_dir, ends the run with status 1. Returns, with how many runs
// found incorrect scenarios, when every run has succeeded (status 0 or 3)
// and no report of the run lands on a file the user gave, nor on another
// report, before the runs and again after them; otherwise ends the run.
uint32_t run_postprocessors(const run_plan& plan, const std::optional<std::string>& mps_dir);

// Runs the report bridge on the RDD report just written, when that is a
// regular file.
void run_bridge(const char* rdd_name, const char* mps_dir);

// Whether the last dot of the whole path lies in a folder name: the ROD
// report would then not lie beside the RIO file under its name, so such a
// RIO file is refused ("RIODOTDIR") before any program runs.
bool last_dot_in_folder(const char* rio_name);

// The post-processor's second argument: a final ".rio..." turned into ".ro".
std::string second_argument_of(const char* rio_name);
