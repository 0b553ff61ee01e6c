#include "tool_failure.h"

void fail_at(const std::string& file, unsigned line, const std::string& what) {
  throw tool_failure(file + ":" + std::to_string(line) + ": " + what);
}

void fail_on(const std::string& file, const std::string& what) { throw tool_failure(file + ": " + what); }
