#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Why no output can be written; the message names the file, and the line for
// a malformed report ("FILE:LINE: what").
struct tool_failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void fail_at(const std::string& file, unsigned line, const std::string& what);
[[noreturn]] void fail_on(const std::string& file, const std::string& what);

// "TOOL: TEXTTAIL" on standard error, the text's control characters shown
// escaped (a name could otherwise steer the terminal); never throws.
void print_failure(const char* tool, std::string_view text, const char* tail = "") noexcept;
