#pragma once

#include <string>

#include "rdd_report.h"
#include "support/scratch_dir.h"

const char RDD_HEADER[] = "MIRVA ProbeSuite \"v2.6a\" \"plan\" \"RDD file\" \"Tue Mar 12 09:00:00 2024\" \n";

// Reads records written after an RDD header, in the current directory.
inline rdd_report rdd_of(const std::string& records) {
  write_file("t.rdd", RDD_HEADER + records);
  return read_rdd_report("t.rdd");
}

inline std::string dir_now() {
  char here[4096];
  return getcwd(here, sizeof here) ? here : ".";
}
