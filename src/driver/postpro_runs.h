#pragma once

// The runs of the toolchain's programs: the post-processor once per RIO file,
// which leaves its ROD report beside it, and the report bridge on the RDD
// report.

#include <string>

// Runs the post-processor once per paired RIO file, TDC file by TDC file,
// storing each ROD report path in rod_file_list. Returns when every run has
// succeeded (status 0 or 3) and no report of the run lands on a file the
// user gave, nor on another report, before the runs and again after them;
// otherwise ends the run.
void run_postprocessors();

// Runs the report bridge on the RDD report just written, when that is a
// regular file.
void run_bridge(const char* rdd_name, const char* mps_dir);

// Where the post-processor writes the ROD report of a RIO file: the text
// from the last dot of the whole path replaced by ".rod", or ".rod" appended.
std::string rod_path_of(const char* rio_name);

// Whether the last dot of the whole path lies in a folder name: the ROD
// report would then not lie beside the RIO file under its name, so such a
// RIO file is refused ("RIODOTDIR") before any program runs.
bool last_dot_in_folder(const char* rio_name);

// The post-processor's second argument: a final ".rio..." turned into ".ro".
std::string second_argument_of(const char* rio_name);
