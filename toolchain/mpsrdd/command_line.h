#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "gate.h"

// mpsrdd COMMAND REPORT... [OPTION]..., as the command table allows.
struct command_line {
  const command_spec* command = nullptr; // none: mpsrdd --help or --version
  bool help = false, version = false;
  std::vector<std::string> reports;      // "-": standard input
  std::string output;                    // -o; empty: the command's default
  std::optional<std::string> html;       // --html[=FILE]; empty: beside the new report
  std::optional<fail_level> fail_on;
};

// Throws tool_failure saying what is wrong with the words.
command_line parse_command_line(int argc, char** argv);
