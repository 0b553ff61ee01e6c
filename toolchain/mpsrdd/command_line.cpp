#include "command_line.h"

#include <cstring>

#include "tool_failure.h"

const char USAGE[] = "usage: mpsrdd page REPORT.rdd [-o FILE.html]\n"
                     "       mpsrdd junit REPORT.rdd [-o FILE.xml]\n"
                     "       mpsrdd compare OLD.rdd NEW.rdd [-o FILE.html]\n"
                     "       mpsrdd summary REPORT.rdd\n"
                     "       mpsrdd trace REPORT.rdd [-o FILE.json]\n";

namespace {

struct command_shape {
  const char* name;
  size_t reports;
  bool writes_file;
};

const command_shape COMMANDS[] = {{"page", 1, true}, {"junit", 1, true}, {"compare", 2, true}, {"summary", 1, false}, {"trace", 1, true}};

[[noreturn]] void refuse(const std::string& what) { throw tool_failure(what + " (mpsrdd --help tells more)"); }

} // namespace

command_line parse_command_line(int argc, char** argv) {
  command_line words;
  if (argc < 2) refuse("no command: page, junit, compare, summary or trace");
  words.command = argv[1];
  if (words.command == "--help" || words.command == "-h" || words.command == "help") {
    words.command = "help";
    return words;
  }
  const command_shape* shape = nullptr;
  for (const command_shape& c : COMMANDS)
    if (words.command == c.name) shape = &c;
  if (!shape) refuse("unknown command \"" + words.command + "\": page, junit, compare, summary or trace");
  bool options_end = false;
  for (int i = 2; i < argc; ++i) {
    std::string word = argv[i];
    if (!options_end && word == "--") options_end = true;
    else if (!options_end && word == "-o" && shape->writes_file) {
      if (i + 1 == argc || !words.output.empty()) refuse("-o wants one file name");
      words.output = argv[++i];
      if (words.output.empty()) refuse("-o wants one file name");
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
