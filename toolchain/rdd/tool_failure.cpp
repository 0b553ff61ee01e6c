#include "tool_failure.h"

#include <cstdio>
#include <new>

#include "util/terminal_text.h"

void fail_at(const std::string& file, unsigned line, const std::string& what) {
  throw tool_failure(file + ":" + std::to_string(line) + ": " + what);
}

void fail_on(const std::string& file, const std::string& what) { throw tool_failure(file + ": " + what); }

void print_failure(const char* tool, std::string_view text, const char* tail) noexcept {
  try {
    fprintf(stderr, "%s: %s%s\n", tool, terminal_safe(text).c_str(), tail);
  } catch (const std::bad_alloc&) {
    fprintf(stderr, "%s: out of memory\n", tool);
  }
}
