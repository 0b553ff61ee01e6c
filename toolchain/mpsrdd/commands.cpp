#include "commands.h"

#include <cstdio>
#include <optional>

#include "command_line.h"
#include "compare.h"
#include "gate.h"
#include "junit.h"
#include "output_file.h"
#include "page.h"
#include "summary.h"
#include "tool_failure.h"
#include "trace.h"
#include "warnings.h"

namespace {

void print(const std::string& text) {
  if (fwrite(text.data(), 1, text.size(), stdout) != text.size() || fflush(stdout) != 0)
    throw tool_failure("standard output: cannot write");
}

run_view read_and_warn(const std::string& report) {
  run_view run = read_run(report);
  for (const std::string& warning : run_warnings(run)) print_failure("mpsrdd: warning", warning);
  return run;
}

// An output file made before the reports are read, so that one that cannot
// be written is told first; "-" is standard output.
class output {
public:
  output(const std::string& path, const std::vector<std::string>& reports) {
    if (path == "-") return;
    std::vector<std::string> files;
    for (const std::string& report : reports)
      if (report != "-") files.push_back(report);
    file_.emplace(path, files);
  }
  void commit(const std::string& content) {
    if (file_) file_->commit(content);
    else print(content);
  }

private:
  std::optional<pending_output> file_;
};

// The file -o names, else beside the report; a report read from standard
// input gives its output on standard output.
std::string output_path(const command_line& words, const char* suffix) {
  if (!words.output.empty()) return words.output;
  return words.reports.back() == "-" ? "-" : beside(words.reports.back(), suffix);
}

int judged(const run_view& run, fail_level level) { return run_fails(run, level) ? FAILING : SAME; }

int run_page(const command_line& words) {
  output page(output_path(words, ".html"), words.reports);
  page.commit(render_page(page_input_of(read_and_warn(words.reports[0]))));
  return SAME;
}

int run_junit(const command_line& words) {
  output junit(output_path(words, ".junit.xml"), words.reports);
  run_view run = read_and_warn(words.reports[0]);
  junit.commit(render_junit(run, JUNIT_BYTES));
  return judged(run, words.fail_on.value_or(fail_level::never));
}

int run_trace(const command_line& words) {
  output trace(output_path(words, ".trace.json"), words.reports);
  trace.commit(render_trace(read_and_warn(words.reports[0])));
  return SAME;
}

int run_summary(const command_line& words) {
  run_view run = read_and_warn(words.reports[0]);
  print(render_summary(run));
  return judged(run, words.fail_on.value_or(fail_level::failed));
}

// The text on standard output, as diff(1) gives it; the page only when asked.
int run_compare(const command_line& words) {
  std::optional<output> page;
  if (!words.output.empty() || words.html) {
    std::string path = words.output.empty() ? *words.html : words.output;
    if (path.empty() && words.reports[1] == "-") throw tool_failure("--html wants a file name when NEW is standard input");
    if (path == "-") throw tool_failure("the comparison's text is on standard output: its page wants a file name");
    page.emplace(path.empty() ? beside(words.reports[1], ".compare.html") : path, words.reports);
  }
  if (words.reports[0] == "-" && words.reports[1] == "-") throw tool_failure("only one report can be standard input");
  run_view old_run = read_and_warn(words.reports[0]), new_run = read_and_warn(words.reports[1]);
  run_differences d = compare_runs(old_run, new_run);
  if (page) page->commit(render_compare_page(old_run, new_run, d));
  print(render_compare_text(old_run, new_run, d));
  return d.verdicts_differ() ? DIFFERENT : SAME;
}

const option_spec OUTPUT = {"-o", "FILE", option_kind::separate_value,
                            "writes to FILE instead of beside the report; - is standard output"};
const option_spec FAIL_ON = {"--fail-on", "LEVEL", option_kind::joined_value,
                             "exit status 1 when a step failed (failed), also when one is inconclusive or unknown "
                             "(inconclusive), or never"};

} // namespace

const std::vector<command_spec>& commands() {
  static const std::vector<command_spec> TABLE = {
      {"page", "REPORT.rdd", 1, "writes the run's timeline page", {OUTPUT}, run_page},
      {"junit", "REPORT.rdd", 1, "writes the run's verdicts as JUnit XML",
       {OUTPUT, {FAIL_ON.name, FAIL_ON.value, FAIL_ON.kind, "as for summary; never unless given"}}, run_junit},
      {"compare", "OLD.rdd NEW.rdd", 2, "tells on standard output how two runs differ; exit status 1 when their verdicts do",
       {{"--html", "FILE", option_kind::optional_value, "also writes the comparison's page, to FILE or beside NEW"},
        {"-o", "FILE", option_kind::separate_value, "also writes the comparison's page, to FILE"}},
       run_compare},
      {"summary", "REPORT.rdd", 1, "prints a line per tester and the run's verdicts",
       {{FAIL_ON.name, FAIL_ON.value, FAIL_ON.kind, "what makes the exit status 1: failed (the default), inconclusive or never"}},
       run_summary},
      {"trace", "REPORT.rdd", 1, "writes the run in the trace event format of trace viewers", {OUTPUT}, run_trace},
  };
  return TABLE;
}

const command_spec* command_named(const std::string& name) {
  for (const command_spec& c : commands())
    if (name == c.name) return &c;
  return nullptr;
}

namespace {

std::string option_usage(const option_spec& o) {
  switch (o.kind) {
  case option_kind::separate_value: return std::string(o.name) + " " + o.value;
  case option_kind::joined_value: return std::string(o.name) + "=" + o.value;
  case option_kind::optional_value: break;
  }
  return std::string(o.name) + "[=" + o.value + "]";
}

std::string usage_line(const command_spec& c) {
  std::string line = std::string("mpsrdd ") + c.name + " " + c.operands;
  for (const option_spec& o : c.options) line += " [" + option_usage(o) + "]";
  return line + "\n";
}

} // namespace

std::string usage_text() {
  std::string text;
  for (const command_spec& c : commands()) text += (text.empty() ? "usage: " : "       ") + usage_line(c);
  return text + "       mpsrdd --version\n       mpsrdd [COMMAND] --help\n"
                "A report - is standard input.\n";
}

std::string help_text(const command_spec& c) {
  std::string text = "usage: " + usage_line(c) + c.summary + ".\n";
  for (const option_spec& o : c.options) text += "  " + option_usage(o) + ": " + o.help + "\n";
  return text + "  --help: prints this and exits\nA report - is standard input.\n";
}
