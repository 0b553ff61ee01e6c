#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends report text as HTML text or attribute value: bytes that are not
// UTF-8 and control characters become U+FFFD, and & < > " ' are escaped, so
// nothing read from a report can become markup or script.
void append_escaped(std::string& out, std::string_view text);

std::string escaped(std::string_view text);

// The text cut to at most `bytes` bytes, at a character's start, and told so.
std::string clipped(std::string_view text, size_t bytes);

// 1234567 as "1 234 567" (narrow no-break spaces).
std::string grouped(int64_t value);
