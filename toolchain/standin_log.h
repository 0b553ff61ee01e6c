#pragma once

#include <cstdlib>
#include <fstream>

// When MPS_STANDIN_LOG names a file, appends one line to it: the arguments
// of this run, argv[0] included, separated by TABs.
inline void record_arguments(int argc, char** argv) {
  const char* log = getenv("MPS_STANDIN_LOG");
  if (!log) return;
  std::ofstream out(log, std::ios::app | std::ios::binary);
  for (int i = 0; i < argc; ++i) out << (i ? "\t" : "") << argv[i];
  out << '\n';
}
