// mpsrdd: shows, judges and compares merged runs, from any RDD report.
//
//   mpsrdd page REPORT.rdd [-o FILE.html]        the timeline page
//   mpsrdd junit REPORT.rdd [-o FILE.xml]        JUnit XML for CI servers
//   mpsrdd compare OLD.rdd NEW.rdd [-o FILE.html] two runs side by side
//   mpsrdd summary REPORT.rdd                     a few lines on standard output
//
// Files are written beside the report unless -o names one. Exit status 0;
// for compare 1 when the verdicts differ, for summary (and junit with
// --fail-on) 1 when the run fails; 2 on trouble, with one line on standard
// error and no file written. docs/mpsrdd.1 tells the rest.
#include <cstdio>
#include <new>

#include "command_line.h"
#include "compare.h"
#include "gate.h"
#include "junit.h"
#include "output_file.h"
#include "page.h"
#include "run_view.h"
#include "summary.h"
#include "tool_failure.h"
#include "warnings.h"

namespace {

// summary and junit end as a test runner does: FAILING when the run fails
// at the level asked.
enum { SAME = 0, DIFFERENT = 1, FAILING = 1, TROUBLE = 2 };

std::string output_of(const command_line& words, const std::string& suffix) {
  return words.output.empty() ? beside(words.reports.back(), suffix) : words.output;
}

void print(const std::string& text) {
  if (fwrite(text.data(), 1, text.size(), stdout) != text.size() || fflush(stdout) != 0)
    throw tool_failure("standard output: cannot write");
}

run_view read_and_warn(const std::string& report) {
  run_view run = read_run(report);
  for (const std::string& warning : run_warnings(run)) fprintf(stderr, "mpsrdd: warning: %s\n", warning.c_str());
  return run;
}

int judged(const run_view& run, fail_level level) { return run_fails(run, level) ? FAILING : SAME; }

int run_command(const command_line& words) {
  const std::string& report = words.reports.front();
  if (words.command == "page") {
    pending_output page(output_of(words, ".html"), words.reports);
    page.commit(render_page(page_input_of(read_and_warn(report))));
  } else if (words.command == "junit") {
    pending_output junit(output_of(words, ".junit.xml"), words.reports);
    run_view run = read_and_warn(report);
    junit.commit(render_junit(run, JUNIT_BYTES));
    return judged(run, words.fail_on.value_or(fail_level::never));
  } else if (words.command == "summary") {
    run_view run = read_and_warn(report);
    print(render_summary(run));
    return judged(run, words.fail_on.value_or(fail_level::failed));
  } else {
    pending_output page(output_of(words, ".compare.html"), words.reports);
    run_view old_run = read_and_warn(words.reports[0]), new_run = read_and_warn(words.reports[1]);
    run_differences d = compare_runs(old_run, new_run);
    page.commit(render_compare_page(old_run, new_run, d));
    print(render_compare_text(old_run, new_run, d));
    return d.verdicts_differ() ? DIFFERENT : SAME;
  }
  return SAME;
}

} // namespace

int main(int argc, char** argv) {
  command_line words;
  try {
    words = parse_command_line(argc, argv);
    if (words.command == "help") {
      print(USAGE);
      return SAME;
    }
    return run_command(words);
  } catch (const tool_failure& failure) {
    fprintf(stderr, "mpsrdd: %s\n", failure.what());
  } catch (const std::bad_alloc&) {
    fprintf(stderr, "mpsrdd: %s: out of memory\n", words.reports.empty() ? "" : words.reports.back().c_str());
  }
  return TROUBLE;
}
