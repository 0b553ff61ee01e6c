#include "command_line.h"

#include <algorithm>

#include "tool_failure.h"

namespace {

[[noreturn]] void refuse(const std::string& what) { throw tool_failure(what + " (mpsrdd --help tells more)"); }

std::string command_names() {
  std::string names;
  for (const command_spec& c : commands()) names += (names.empty() ? "" : ", ") + std::string(c.name);
  return names;
}

// The value of one option, stored where the command line keeps it.
void take_value(command_line& words, const option_spec& option, const std::string& value) {
  std::string name = option.name;
  if (name == "--fail-on") {
    words.fail_on = fail_level_of(value);
    if (!words.fail_on) refuse("--fail-on takes failed, inconclusive or never, not \"" + value + "\"");
  } else if (name == "--html") {
    words.html = value;
  } else {
    if (value.empty() || !words.output.empty()) refuse(name + " wants one file name");
    words.output = value;
  }
}

// Reads the option at argv[i], moving i past its value; false when the word is no option of the command.
bool read_option(command_line& words, int argc, char** argv, int& i) {
  std::string word = argv[i];
  for (const option_spec& option : words.command->options) {
    std::string name = option.name;
    bool joined = word.rfind(name + "=", 0) == 0 && option.kind != option_kind::separate_value;
    if (joined) take_value(words, option, word.substr(name.size() + 1));
    else if (word != name || option.kind == option_kind::joined_value) continue;
    else if (option.kind == option_kind::optional_value) take_value(words, option, "");
    else if (i + 1 == argc) refuse(name + " wants one file name");
    else take_value(words, option, argv[++i]);
    return true;
  }
  return false;
}

} // namespace

command_line parse_command_line(int argc, char** argv) {
  command_line words;
  if (argc < 2) refuse("no command: " + command_names());
  std::string first = argv[1];
  words.help = first == "--help" || first == "-h" || first == "help";
  words.version = first == "--version";
  if (words.help || words.version) return words;
  words.command = command_named(first);
  if (!words.command) refuse("unknown command \"" + first + "\": " + command_names());
  bool options_end = false;
  for (int i = 2; i < argc; ++i) {
    std::string word = argv[i];
    if (!options_end && word == "--") options_end = true;
    else if (!options_end && (word == "--help" || word == "-h")) words.help = true;
    else if (options_end || word.size() < 2 || word[0] != '-') words.reports.push_back(word);
    else if (!read_option(words, argc, argv, i)) refuse("unknown option " + word + " of mpsrdd " + first);
  }
  if (!words.help && words.reports.size() != words.command->reports)
    refuse("mpsrdd " + first + " reads " +
           (words.command->reports == 1 ? "one RDD report" : "two RDD reports, the old then the new"));
  return words;
}
