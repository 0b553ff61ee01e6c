#include "command_line.h"

#include <cstring>

#include "tool_failure.h"

const char USAGE[] = "usage: mpsrdd page REPORT.rdd [-o FILE.html]\n"
                     "       mpsrdd junit REPORT.rdd [-o FILE.xml] [--fail-on=failed|inconclusive|never]\n"
                     "       mpsrdd compare OLD.rdd NEW.rdd [-o FILE.html]\n"
                     "       mpsrdd summary REPORT.rdd [--fail-on=failed|inconclusive|never]\n";

namespace {

[[noreturn]] void refuse(const std::string& what) { throw tool_failure(what + " (mpsrdd --help tells more)"); }

struct command_shape {
  const char* name;
  size_t reports;
  bool writes_file;
  bool judges; // takes --fail-on
};

const command_shape COMMANDS[] = {
    {"page", 1, true, false}, {"junit", 1, true, true}, {"compare", 2, true, false}, {"summary", 1, false, true}};

const char FAIL_ON[] = "--fail-on=";

fail_level fail_level_named(const std::string& name) {
  std::optional<fail_level> level = fail_level_of(name);
  if (!level) refuse("--fail-on takes failed, inconclusive or never, not \"" + name + "\"");
  return *level;
}

} // namespace

command_line parse_command_line(int argc, char** argv) {
  command_line words;
  if (argc < 2) refuse("no command: page, junit, compare or summary");
  words.command = argv[1];
  if (words.command == "--help" || words.command == "-h" || words.command == "help") {
    words.command = "help";
    return words;
  }
  const command_shape* shape = nullptr;
  for (const command_shape& c : COMMANDS)
    if (words.command == c.name) shape = &c;
  if (!shape) refuse("unknown command \"" + words.command + "\": page, junit, compare or summary");
  bool options_end = false;
  for (int i = 2; i < argc; ++i) {
    std::string word = argv[i];
    if (!options_end && word == "--") options_end = true;
    else if (!options_end && word == "-o" && shape->writes_file) {
      if (i + 1 == argc || !words.output.empty()) refuse("-o wants one file name");
      words.output = argv[++i];
      if (words.output.empty()) refuse("-o wants one file name");
    } else if (!options_end && word.rfind(FAIL_ON, 0) == 0 && shape->judges) {
      words.fail_on = fail_level_named(word.substr(sizeof FAIL_ON - 1));
    } else if (!options_end && word.size() > 1 && word[0] == '-') {
      refuse("unknown option " + word + " of mpsrdd " + words.command);
    } else {
      words.reports.push_back(word);
    }
  }
  if (words.reports.size() != shape->reports)
    refuse("mpsrdd " + words.command + " reads " + (shape->reports == 1 ? "one RDD report" : "two RDD reports, the old then the new"));
  return words;
}
