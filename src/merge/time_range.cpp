#include "merge/time_range.h"

#include <QString>
#include <algorithm>

#include "merge/fields.h"
#include "merge/record_walk.h"
#include "merge/time_shift.h"
#include "messages/emit.h"

static bool in_range(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

static int64_t time_of(const objet* cell, uint32_t owed) {
  return static_cast<int32_t>(static_cast<uint32_t>(cell->value) + owed);
}

int64_t largest_time(objet* tree, uint32_t owed) {
  int64_t largest = NO_TIME;
  auto visit = [&largest, owed](objet* holder) {
    if (objet* time = shifted_time_cell(holder->item)) largest = std::max(largest, time_of(time, owed));
    return false;
  };
  walk_records(tree, visit);
  return largest;
}

bool shift_keeps_in_range(int64_t largest, uint32_t d) { return largest + d <= INT32_MAX; }

// The report number and line number every record read ends with, after the
// fields it was read with.
static std::optional<read_place> place_of(objet* record) {
  const int count = record->item->count;
  const objet* number = field_at(record, count + 1);
  const objet* line = field_at(record, count + 2);
  if (!number || number->type != OBJ_INT || !line || line->type != OBJ_INT) return std::nullopt;
  return read_place{number->value, line->value + 1};
}

template <typename Leaves>
static std::optional<read_place> first_place_where(objet* tree, Leaves leaves) {
  std::optional<read_place> last_read, found;
  auto visit = [&](objet* holder) {
    objet* record = holder->item;
    if (std::optional<read_place> place = place_of(record)) last_read = place;
    if (!leaves(record)) return false;
    found = last_read.value_or(read_place{0, 0});
    return true;
  };
  walk_records(tree, visit);
  return found;
}

std::optional<read_place> first_shifted_out(objet* tree, uint32_t owed, uint32_t d) {
  return first_place_where(tree, [owed, d](objet* record) {
    const objet* time = shifted_time_cell(record);
    return time && !in_range(time_of(time, owed) + d);
  });
}

std::optional<read_place> first_scaled_out(objet* tree, uint32_t factor) {
  return first_place_where(tree, [factor](objet* record) {
    for (uint8_t position : scaled_fields(record)) {
      if (position == 0) break;
      const objet* cell = long_at(record, position);
      if (cell && !in_range(int64_t{cell->value} * factor)) return true;
    }
    return false;
  });
}

void refuse_time_out_of_range(const char* rod_path, int32_t line) {
  msg_fatal("TIMERANGE", name_arg(rod_path), QString::number(line));
}
