#pragma once

#include <gtest/gtest.h>

#include <string>

#include "util/process_exit.h"

// Unit tests replace the real exit: a fatal road unwinds as this exception.
struct process_ended {
  int status;
};

[[noreturn]] inline void throw_process_ended(int status) { throw process_ended{status}; }

// Runs statement, which must end the run; yields the status and what was
// written on standard error.
template <typename Statement>
int run_to_end(Statement statement, std::string* error_output = nullptr) {
  testing::internal::CaptureStderr();
  int status = -1;
  try {
    statement();
  } catch (const process_ended& ended) {
    status = ended.status;
  }
  std::string written = testing::internal::GetCapturedStderr();
  if (error_output) *error_output = written;
  return status;
}

inline const std::string UNEXPECTED_END = "Varnet-F-UNEXPTEOF,  Unexpected end of file\n";
inline const std::string INTERNAL_ERROR = "Varnet-F-ERRINTERN,  \n";

// Runs statement, which must end the run with status 7 and error alone on standard error.
template <typename Statement>
void expect_fatal(Statement statement, const std::string& error = UNEXPECTED_END) {
  std::string written;
  EXPECT_EQ(run_to_end(statement, &written), 7);
  EXPECT_EQ(written, error);
}
