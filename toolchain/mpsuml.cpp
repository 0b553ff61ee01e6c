// Stand-in for the toolchain's report bridge:
//
//   mpsuml -path DIR -name NAME -nobanner
//
// It only checks that DIR/NAME is a readable file: exit status 0, else a
// message on standard error and status 2.
//
// For tests, when the environment variable MPS_STANDIN_LOG names a file,
// every run appends one line to it: its arguments, argv[0] included,
// separated by TABs (standin_log.h).
#include "standin_log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

enum { CANNOT_RUN = 2 };

int main(int argc, char** argv) {
  record_arguments(argc, argv);
  std::string directory, name;
  for (int i = 1; i + 1 < argc; ++i) {
    if (!strcmp(argv[i], "-path")) directory = argv[++i];
    else if (!strcmp(argv[i], "-name")) name = argv[++i];
  }
  if (directory.empty() || name.empty()) {
    fprintf(stderr, "mpsuml: usage: mpsuml -path DIR -name NAME -nobanner\n");
    return CANNOT_RUN;
  }
  std::string report = directory + "/" + name;
  if (!std::ifstream(report, std::ios::binary)) {
    fprintf(stderr, "mpsuml: cannot read %s\n", report.c_str());
    return CANNOT_RUN;
  }
  return 0;
}
