#pragma once

// This program's command line: the option record the rest of the program
// reads, and the option text handed to the post-processor, both filled from
// the engine's analysis against the program's command table.

#include <cstdint>

enum { MAX_FILES = 1000, POSTPRO_OPTIONS_SIZE = 5120 };

// The option record the rest of the program reads.
struct command_line {
  const char* files[MAX_FILES];  // command-line order, comma lists split; unused slots null
  uint8_t time_flag;             // -TIME
  uint8_t dest_given;            // -RDD given
  const char* dest_value;        // -RDD value, null when not given
};
extern command_line cmd_line;

// The run settings the analysis sets for the post-processor runs.
struct run_settings {
  int32_t log;  // -LOG given
};

// Runs the command analysis; on success writes the option text handed to the
// post-processor into postpro_options (POSTPRO_OPTIONS_SIZE bytes) and returns 1.
// Returns 0 after the engine's error line.
int analyse_command_line(int argc, char** argv, char* postpro_options, run_settings* run_options);

// Fills cmd_line; more than MAX_FILES files is fatal ("TOOMANYFI").
void fill_cmd_line();

uint8_t time_option(const command_line& line);
// The -RDD value when given, else null.
const char* dest_option(const command_line& line);
