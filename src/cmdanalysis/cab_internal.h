#pragma once

// The engine's own state and steps, shared between its files only.

#include "cmdanalysis/cab.h"

enum cab_error_index {
  CAB_VALUE_TOO_SMALL = 0,
  CAB_VALUE_TOO_LARGE = 1,
  CAB_LENGTH_TOO_SMALL = 2,
  CAB_LENGTH_TOO_LARGE = 3,
  CAB_TOO_MANY_ARGUMENTS = 4,
  CAB_LIST_FORBIDDEN_ARGUMENT = 5,
  CAB_UNKNOWN_OPTION = 6,
  CAB_INVALID_CHARACTER = 7,
  CAB_USED_TWICE = 8,
  CAB_VALUE_MANDATORY = 9,
  CAB_NO_VALUE_ALLOWED = 10,
  CAB_LIST_FORBIDDEN_OPTION = 11,
  CAB_ARGUMENT_MISSING = 12,
  CAB_AMBIGUOUS_OPTION = 13,
  CAB_UNKNOWN_VALUE = 14,
  CAB_AMBIGUOUS_VALUE = 15,
  CAB_ILLEGAL_COMBINATION = 16,
  CAB_NO_MEMORY = 18,
  CAB_TITLE = 19,
  CAB_BAD_OPTION_NAME = 20,
};

command_description& active_command();
void run_exclusion_hook();

// Prints the error and gives the engine's failure result.
int cab_fail(cab_error_index index, const char* item);

// The longest match so far over a set of names; entry null with a non-zero
// length means two entries tie (ambiguous).
struct best_match {
  int length;
  void* entry;
  int sign;
};

// Weighs one name for entry; true on an exact match, which ends the search.
// whole_word refuses a full name that the word continues past.
bool weigh_name(best_match& best, const char* word, const char* name, void* entry, int sign,
                bool whole_word);

// Cuts text at its list separators and appends each piece through make_value.
int append_pieces(value_descriptor* type, char* text, allowed_value* allowed);
void prepend_value(value_descriptor* type, value_node* node);
void cab_release_blocks();
void reset_value_tail();
