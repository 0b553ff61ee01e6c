#pragma once

// The record printer: cells back in report line syntax.

#include <cstddef>
#include <cstdio>

#include "report/objet.h"

// Prints cells one after the other on one stream, through one buffer handed
// to stdio when full and when the printer ends: a report's many short lines
// cost one stdio call per buffer, not one each. Write errors are left in the
// stream's error flag for the caller, once the printer has ended.
class cell_printer {
 public:
  explicit cell_printer(objet* out) : stream_(out->stream) {}
  ~cell_printer() { flush(); }
  cell_printer(const cell_printer&) = delete;
  cell_printer& operator=(const cell_printer&) = delete;

  // Report line syntax: every atom followed by one blank, numbers in quotes,
  // a newline after each chain.
  void print(objet* cell);

 private:
  void put(const char* text, size_t n);
  void put_atom(const objet* cell);
  void put_number(int32_t value);
  void flush();

  FILE* stream_;
  size_t used_ = 0;
  // A fixed array: a buffer the heap gave would outlive a run that ends
  // while printing.
  char bytes_[1 << 16];
};

// One cell, printed as cell_printer prints it.
void pt_ecrit(objet* out, objet* cell);
