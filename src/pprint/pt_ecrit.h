#pragma once

// The record printer: records back in report line syntax.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "report/record.h"

// Prints records one after the other on one stream, through one buffer
// handed to stdio when full and when the printer ends: a report's many short
// lines cost one stdio call per buffer, not one each. Write errors are left
// in the stream's error flag for the caller, once the printer has ended.
class record_printer {
 public:
  explicit record_printer(FILE* out) : stream_(out) {}
  ~record_printer() { flush(); }
  record_printer(const record_printer&) = delete;
  record_printer& operator=(const record_printer&) = delete;

  // One line: the keyword and every field, each followed by one blank,
  // numbers in quotes, then a newline.
  void print(const record& r);

 private:
  void put(const char* text, size_t n);
  // Made inside print for every field: a call apiece, with its saved
  // registers, cost a twelfth of the printing.
  [[gnu::always_inline]] inline void put_word(const char* text, size_t n);
  [[gnu::always_inline]] inline void put_number(int32_t value);
  void flush();

  FILE* stream_;
  size_t used_ = 0;
  // A fixed array: a buffer the heap gave would outlive a run that ends
  // while printing.
  char bytes_[1 << 16];
};

// One record, printed as record_printer prints it.
void pt_ecrit(FILE* out, const record& r);
