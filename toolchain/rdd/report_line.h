#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of a ROD or RDD report: the keyword, then every field as written,
// quotes included and a doubled quote inside still doubled.
struct report_line {
  std::string_view keyword;
  std::vector<std::string_view> fields;
};

// Splits a line (without its line end) as the merger reads report lines.
// False when a field has no closing quote on the line.
bool split_report_line(std::string_view line, report_line& out);

// The field's text: quotes removed, every doubled quote made one.
std::string field_text(std::string_view field);

// The number a field holds: a quoted decimal, possibly negative, or "??",
// which stands for 0. Nothing for any other text.
std::optional<int64_t> field_number(std::string_view field);

// Times are unsigned 32-bit values; the merger prints them signed.
std::optional<uint32_t> field_time(std::string_view field);
