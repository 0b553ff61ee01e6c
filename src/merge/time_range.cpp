#include "merge/time_range.h"

#include <QString>
#include <algorithm>

#include "merge/time_shift.h"
#include "messages/emit.h"
#include "report/record_walk.h"

static bool in_range(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

// The time a record's time field stands for, the tree owing owed.
static std::optional<int64_t> time_of(const record& r, uint32_t owed) {
  const uint32_t position = shifted_time_field(r);
  if (!position) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(r.at(position).number) + owed);
}

int64_t largest_time(objet* tree, uint32_t owed) {
  int64_t largest = NO_TIME;
  auto visit = [&largest, owed](objet* holder) {
    if (const auto time = time_of(*holder->item.rec(), owed)) largest = std::max(largest, *time);
    return false;
  };
  walk_records(tree, visit);
  return largest;
}

bool shift_keeps_in_range(int64_t largest, uint32_t d) { return largest + d <= INT32_MAX; }

// The report number and line number every record read ends with, after the
// fields it was read with.
static std::optional<read_place> place_of(const record& r) {
  const field number = r.at(r.read_fields() + 1);
  const field line = r.at(r.read_fields() + 2);
  if (number.type != field_type::counter || line.type != field_type::counter) return std::nullopt;
  return read_place{number.number, line.number + 1};
}

template <typename Leaves>
static std::optional<read_place> first_place_where(objet* tree, Leaves leaves) {
  std::optional<read_place> last_read, found;
  auto visit = [&](objet* holder) {
    const record& r = *holder->item.rec();
    if (std::optional<read_place> place = place_of(r)) last_read = place;
    if (!leaves(r)) return false;
    found = last_read.value_or(read_place{0, 0});
    return true;
  };
  walk_records(tree, visit);
  return found;
}

std::optional<read_place> first_shifted_out(objet* tree, uint32_t owed, uint32_t d) {
  return first_place_where(tree, [owed, d](const record& r) {
    const auto time = time_of(r, owed);
    return time && !in_range(*time + d);
  });
}

std::optional<read_place> first_scaled_out(objet* tree, uint32_t factor) {
  return first_place_where(tree, [factor](const record& r) {
    for (uint8_t position : scaled_fields(r)) {
      if (position == 0) break;
      const field value = r.at(position);
      if (value.is_number() && !in_range(int64_t{value.number} * factor)) return true;
    }
    return false;
  });
}

void refuse_time_out_of_range(const char* rod_path, int32_t line) {
  msg_fatal("TIMERANGE", name_arg(rod_path), QString::number(line));
}
