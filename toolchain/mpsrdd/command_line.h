#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gate.h"

// mpsrdd COMMAND REPORT... [-o FILE] [--fail-on=LEVEL]
struct command_line {
  std::string command; // page, junit, compare, summary, or help
  std::vector<std::string> reports;
  std::string output;  // empty: beside the (new) report
  std::optional<fail_level> fail_on;
};

// Throws tool_failure saying what is wrong with the words.
command_line parse_command_line(int argc, char** argv);

extern const char USAGE[];
