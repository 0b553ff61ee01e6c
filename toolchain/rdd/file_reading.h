#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The content of a regular file, and never more than `limit` bytes of it;
// nothing when the path names anything else (a FIFO, a device, a directory),
// which is opened without waiting for a writer and never read. Throws
// tool_failure when the file cannot be opened or read.
std::optional<std::string> read_regular_file(const std::string& path, size_t limit = SIZE_MAX);

// Standard input, to its end; throws tool_failure when it cannot be read.
std::string read_standard_input();
