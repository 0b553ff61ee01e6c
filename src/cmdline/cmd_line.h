#pragma once

// This program's command line: what it asks of a run, as the engine's
// analysis against the program's command table gives it.

#include <optional>
#include <string>
#include <vector>

enum { MAX_FILES = 1000 };

struct command_options {
  std::vector<std::string> files;   // command-line order, comma lists split
  bool time_variant = false;        // -TIME
  std::optional<std::string> dest;  // -RDD's value
  bool log = false;                 // -LOG: the post-processor runs show their log
  std::string postpro_options;      // the option text handed to the post-processor
};

// Runs the command analysis: the options, or nothing after the engine's
// error line.
std::optional<command_options> analyse_command_line(int argc, char** argv);
// The options of the words the engine last accepted; more than MAX_FILES
// files is fatal ("TOOMANYFI").
command_options analysed_options();
