#pragma once

// Which RIO file came from which TDC file: every file of the command line is
// identified by its first line, each RIO file is paired with the one TDC file
// whose header line matches its own, and the TDC files' test plans are
// compared.

#include "driver/run_plan.h"

// The head of each file read, and the plan line kept of a TDC file.
enum { HEAD_WINDOW = 10240, PLAN_LINE_SIZE = 2048 };

// Identifies every file of the command line, pairs each RIO file with its
// one TDC file and returns the run's plan; any inconsistency is fatal.
// Unless the time variant was asked for, tells whether the TDC files come
// from different test plans ("FILESDIFF"), which asks for it.
run_plan identify_and_pair(command_options options);

// Overwrites the first occurrence of word in line with as many "X"; returns
// 1 when found, else 0.
int mask_marker(char* line, const char* word);

// Finds the next double-quoted field in text and zero-terminates it in place,
// quotes included; *rest receives where the search for the next field goes
// on. A missing quote is fatal ("UNEXPTEOF").
char* quoted_field(char* text, char** rest);
