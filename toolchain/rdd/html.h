#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends report text as HTML or XML text or attribute value: a tab becomes
// a blank; each byte that is no part of well-formed UTF-8, each other control
// character and U+FFFE and U+FFFF become U+FFFD; & < > " ' are escaped. So
// nothing read from a report can become markup or script, or make an XML
// file ill-formed.
void append_escaped(std::string& out, std::string_view text);

// The same replacements, without escaping: report text for a terminal.
std::string printable(std::string_view text);

std::string escaped(std::string_view text);

// The text cut to at most `bytes` bytes, at a character's start, and told so.
std::string clipped(std::string_view text, size_t bytes);

// 1234567 as "1 234 567" (narrow no-break spaces).
std::string grouped(int64_t value);
