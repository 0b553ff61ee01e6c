#include "step_lengths.h"

#include <algorithm>

#include "html.h"

std::optional<length_unit> length_unit_of(const merged_tick& old_tick, const merged_tick& new_tick) {
  if (old_tick.ns && new_tick.ns) return length_unit{true, old_tick.ns, new_tick.ns, std::max(old_tick.ns, new_tick.ns)};
  if (!old_tick.ns && !new_tick.ns && old_tick.label == new_tick.label) return length_unit{};
  return std::nullopt;
}

std::optional<int64_t> in_unit(int64_t ticks, int64_t tick) {
  int64_t result;
  if (__builtin_mul_overflow(ticks, tick, &result)) return std::nullopt;
  return result;
}

std::optional<int64_t> change_in_unit(int64_t old_ticks, int64_t new_ticks, const length_unit& unit) {
  std::optional<int64_t> then = in_unit(old_ticks, unit.old_tick), now = in_unit(new_ticks, unit.new_tick);
  int64_t change;
  if (!then || !now || __builtin_sub_overflow(*now, *then, &change)) return std::nullopt;
  return change;
}

bool length_changed(int64_t old_length, int64_t new_length, const length_unit& unit) {
  int64_t change = new_length > old_length ? new_length - old_length : old_length - new_length;
  return change > unit.least && static_cast<double>(change) * 100 > static_cast<double>(old_length) * CHANGE_PERCENT;
}

std::string length_text(int64_t length, const length_unit& unit) {
  if (!unit.in_time) return grouped(length) + (length == 1 ? " tick" : " ticks");
  return length ? length_text(length) : "0 s";
}

std::string change_text(int64_t change, const length_unit& unit) {
  if (change == 0) return "0";
  return (change > 0 ? "+" : "\xE2\x88\x92") + length_text(change > 0 ? change : -change, unit);
}
