// mpsrdd: shows, judges and compares merged runs, from any RDD report.
//
//   mpsrdd page REPORT.rdd [-o FILE.html]         the timeline page
//   mpsrdd junit REPORT.rdd [-o FILE.xml]         JUnit XML for CI servers
//   mpsrdd compare OLD.rdd NEW.rdd [--html[=FILE]] two runs side by side
//   mpsrdd summary REPORT.rdd                      a few lines on standard output
//   mpsrdd trace REPORT.rdd [-o FILE.json]         the run for a trace viewer
//
// The commands, their options and their help are in one table (commands).
// Exit status 0; for compare 1 when the verdicts differ, for summary (and
// junit with --fail-on) 1 when the run fails; 2 on trouble, with one line
// on standard error and no file written. docs/mpsrdd.1 tells the rest.
#include <cstdio>
#include <new>

#include "command_line.h"
#include "commands.h"
#include "tool_failure.h"

#ifndef MPS_VERSION
#error "the build gives the version"
#endif

namespace {

int told(const std::string& text) {
  if (fwrite(text.data(), 1, text.size(), stdout) != text.size() || fflush(stdout) != 0) {
    fprintf(stderr, "mpsrdd: standard output: cannot write\n");
    return TROUBLE;
  }
  return SAME;
}

} // namespace

int main(int argc, char** argv) {
  command_line words;
  try {
    words = parse_command_line(argc, argv);
    if (words.version) return told("mpsrdd " MPS_VERSION "\n");
    if (words.help) return told(words.command ? help_text(*words.command) : usage_text());
    return words.command->run(words);
  } catch (const tool_failure& failure) {
    print_failure("mpsrdd", failure.what());
  } catch (const std::bad_alloc&) {
    print_failure("mpsrdd", words.reports.empty() ? "" : words.reports.back(), ": out of memory");
  }
  return TROUBLE;
}
