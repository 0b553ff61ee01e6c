#include "run_time.h"

#include <cctype>
#include <cstdio>

#include "html.h"

std::optional<int64_t> label_nanoseconds(std::string_view label) {
  static const struct {
    std::string_view unit;
    int64_t ns;
  } UNITS[] = {{"s", 1000000000}, {"sec", 1000000000}, {"ms", 1000000}, {"msec", 1000000}, {"us", 1000},
               {"\xC2\xB5s", 1000}, {"\xCE\xBCs", 1000}, {"usec", 1000}, {"ns", 1}, {"nsec", 1}};
  int64_t count = 0;
  size_t i = 0;
  for (; i < label.size() && std::isdigit(static_cast<unsigned char>(label[i])) && count < 1000000; ++i)
    count = count * 10 + (label[i] - '0');
  if (i == 0) count = 1;
  while (i < label.size() && label[i] == ' ') ++i;
  for (const auto& u : UNITS)
    if (label.substr(i) == u.unit && count > 0) return count * u.ns;
  return std::nullopt;
}

merged_tick merged_tick_of(const std::vector<clock_alignment>& clocks) {
  merged_tick tick;
  for (const clock_alignment& c : clocks) {
    if (!c.merged) continue;
    tick.label = c.merged->label;
    tick.ns = label_nanoseconds(tick.label).value_or(0);
    tick.digits = tick.ns % 1000000 == 0 ? 3 : tick.ns % 1000 == 0 ? 6 : 9;
    break;
  }
  return tick;
}

std::string clock_text(int64_t ticks, const merged_tick& tick) {
  if (tick.ns == 0) return grouped(ticks) + " ticks";
  uint64_t magnitude = ticks < 0 ? -static_cast<uint64_t>(ticks) : static_cast<uint64_t>(ticks);
  // Whole seconds and the nanoseconds beyond, without overflow for any tick.
  const uint64_t SECOND = 1000000000;
  uint64_t ns = static_cast<uint64_t>(tick.ns);
  uint64_t seconds = magnitude / SECOND * ns + magnitude % SECOND * (ns / SECOND) + magnitude % SECOND * (ns % SECOND) / SECOND;
  uint64_t fraction = magnitude % SECOND * (ns % SECOND) % SECOND;
  static const uint64_t SCALE[] = {1000000, 1000, 1};
  char text[64];
  snprintf(text, sizeof text, "%s%llu:%02llu:%02llu.%0*llu", ticks < 0 ? "\xE2\x88\x92" : "",
           static_cast<unsigned long long>(seconds / 3600), static_cast<unsigned long long>(seconds / 60 % 60),
           static_cast<unsigned long long>(seconds % 60), tick.digits,
           static_cast<unsigned long long>(fraction / SCALE[tick.digits / 3 - 1]));
  return text;
}

std::string length_text(int64_t ns) {
  static const struct {
    int64_t ns;
    const char* unit;
  } UNITS[] = {{1000000000, "s"}, {1000000, "ms"}, {1000, "\xC2\xB5s"}, {1, "ns"}};
  for (const auto& u : UNITS)
    if (ns % u.ns == 0) return grouped(ns / u.ns) + " " + u.unit;
  return grouped(ns) + " ns";
}

std::string tick_length_text(const clock_record& c) {
  std::optional<int64_t> ns = label_nanoseconds(c.label);
  return "1 tick = " + (ns ? length_text(*ns) : c.label) + " (tick length " + grouped(c.tick_length) + ")";
}
