// RDD reports through mpsrdd's reader and every output it renders from
// them: summary, JUnit, the page and a comparison with itself. Input: one
// report; its source records may name any file.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "compare.h"
#include "junit.h"
#include "page.h"
#include "summary.h"
#include "tool_failure.h"

namespace {

// A report file in a directory of this process's own.
const std::string& report_path() {
  static const std::string path = [] {
    char directory[] = "/tmp/fuzz_rdd.XXXXXX";
    if (!mkdtemp(directory)) abort();
    return std::string(directory) + "/r.rdd";
  }();
  return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = report_path();
  FILE* file = fopen(path.c_str(), "wb");
  if (!file || fwrite(data, 1, size, file) != size || fclose(file) != 0) abort();
  try {
    run_view run = read_run(path);
    render_summary(run);
    render_junit(run, JUNIT_BYTES);
    render_page(page_input_of(run));
    render_compare_text(run, run, compare_runs(run, run));
  } catch (const tool_failure&) {
    // A report refused with its line is the road's normal end.
  }
  return 0;
}
