#include "report_line.h"

bool split_report_line(std::string_view line, report_line& out) {
  size_t first_quote = line.find('"');
  size_t keyword_end = first_quote == std::string_view::npos ? line.size() : first_quote;
  while (keyword_end > 0 && line[keyword_end - 1] == ' ') --keyword_end;
  out.keyword = line.substr(0, keyword_end);
  out.fields.clear();
  for (size_t open = first_quote; open != std::string_view::npos; open = line.find('"', open)) {
    size_t close = open + 1;
    for (;; close += 2) {
      close = line.find('"', close);
      if (close == std::string_view::npos) return false;
      if (close + 1 >= line.size() || line[close + 1] != '"') break;
    }
    out.fields.push_back(line.substr(open, close - open + 1));
    open = close + 1;
  }
  return true;
}

std::string field_text(std::string_view field) {
  std::string text;
  if (field.size() < 2) return text;
  std::string_view inner = field.substr(1, field.size() - 2);
  text.reserve(inner.size());
  for (size_t i = 0; i < inner.size(); ++i) {
    text += inner[i];
    if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"') ++i;
  }
  return text;
}

std::optional<int64_t> field_number(std::string_view field) {
  if (field == "\"??\"") return 0;
  if (field.size() < 3 || field.size() > 22) return std::nullopt;
  std::string_view digits = field.substr(1, field.size() - 2);
  bool negative = digits[0] == '-';
  if (negative) digits.remove_prefix(1);
  if (digits.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9' || value > (INT64_MAX - 9) / 10) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::optional<uint32_t> field_time(std::string_view field) {
  std::optional<int64_t> value = field_number(field);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}
