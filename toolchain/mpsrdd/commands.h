#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct command_line;

// How an option takes its value: "-o FILE", "--fail-on=LEVEL", "--html[=FILE]".
enum class option_kind { separate_value, joined_value, optional_value };

struct option_spec {
  const char* name;
  const char* value; // as the usage writes it, "FILE"
  option_kind kind;
  const char* help;
};

// The one table of mpsrdd's commands: dispatch, usage, each command's
// --help, and the tests of the manual page and the completion read it.
struct command_spec {
  const char* name;
  const char* operands; // as the usage writes them
  size_t reports;
  const char* summary;
  std::vector<option_spec> options;
  int (*run)(const command_line& words); // the exit status
};

const std::vector<command_spec>& commands();
const command_spec* command_named(const std::string& name);

// The usage of every command, and the help of one.
std::string usage_text();
std::string help_text(const command_spec& command);

// Exit statuses: compare tells whether the verdicts differ, summary and
// junit whether the run fails at the level asked, as a test runner does.
enum exit_status { SAME = 0, DIFFERENT = 1, FAILING = 1, TROUBLE = 2 };
