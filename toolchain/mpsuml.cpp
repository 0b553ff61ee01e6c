// Stand-in for the toolchain's report bridge:
//
//   mpsuml -path DIR -name NAME -nobanner
//
// Reads the RDD report DIR/NAME and writes beside it one self-contained HTML
// page, DIR/<NAME without its extension>.html: the run's testers as lanes on
// one time axis, how their clocks were aligned, and its test items
// (toolchain/rdd/). A file in the page's place is replaced only when it is
// a page of this tool or of mpsrdd from its first byte (output_file.h). Exit
// status 0 when the page is written; otherwise one line on standard error
// and status 2, and no page.
//
// For tests, when the environment variable MPS_STANDIN_LOG names a file,
// every run appends one line to it: its arguments, argv[0] included,
// separated by TABs (standin_log.h).
#include "standin_log.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "output_file.h"
#include "page_file.h"
#include "tool_failure.h"

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
  const std::string rdd_path = directory + "/" + name;
  try {
    write_page_file(rdd_path, beside(rdd_path, ".html"));
  } catch (const tool_failure& failure) {
    print_failure("mpsuml", failure.what());
    return CANNOT_RUN;
  } catch (const std::bad_alloc&) {
    print_failure("mpsuml", rdd_path, ": out of memory");
    return CANNOT_RUN;
  }
  return 0;
}
