#pragma once

// Which RIO file came from which TDC file: every file of the command line is
// identified by its first line, each RIO file is paired with the one TDC file
// whose header line matches its own, and the TDC files' test plans are
// compared.

#include <cstdint>

enum {
  PAIR_ROWS = 1000,
  RIO_KEY_SIZE = 4096,
  TDC_KEY_SIZE = 2048,
  PLAN_LINE_SIZE = 2048,
  HEAD_WINDOW = 10240,
};

struct rio_row {
  int16_t file_index;  // position in cmd_line.files; -1: free row
  int16_t pair_count;
  char header_key[RIO_KEY_SIZE];
};

struct tdc_row {
  int16_t file_index;  // -1: free row, or dropped because no RIO file needs it
  int16_t pair_count;
  char header_key[TDC_KEY_SIZE];
  char plan_line[PLAN_LINE_SIZE];  // empty when the file has none
};

extern rio_row rio_table[PAIR_ROWS];
extern tdc_row tdc_table[PAIR_ROWS];
// Row t: the rio_table rows paired with TDC row t, in increasing order, ended by -1.
extern int16_t rio_of_tdc[PAIR_ROWS][PAIR_ROWS];
// The rows of each table the last pairing filled, from the first; the rows
// past them hold nothing (they may never have been touched at all).
extern int rio_rows_filled, tdc_rows_filled;

// Identifies every file of cmd_line.files, pairs each RIO file with its one
// TDC file and empties rod_file_list; any inconsistency is fatal. Unless the
// time variant was asked for, tells whether the TDC files come from
// different test plans ("FILESDIFF"), which asks for it.
bool identify_and_pair(bool time_variant_asked);

// Overwrites the first occurrence of word in line with as many "X"; returns
// 1 when found, else 0.
int mask_marker(char* line, const char* word);

// Finds the next double-quoted field in text and zero-terminates it in place,
// quotes included; *rest receives where the search for the next field goes
// on. A missing quote is fatal ("UNEXPTEOF").
char* quoted_field(char* text, char** rest);
