#include "merge/time_shift.h"

#include "merge/fields.h"
#include "merge/record_walk.h"

static void multiply(objet* record, int position, uint32_t factor) {
  if (objet* cell = long_at(record, position))
    cell->value = static_cast<int32_t>(static_cast<uint32_t>(cell->value) * factor);
}

// A clock's start and ticks per unit count finer ticks, its tick length is
// that much shorter; other kinds scale the fields the vocabulary names (BF
// fields are text and stay).
field_list scaled_fields(objet* record) {
  if (kind_of(record) == KIND_SY) return {SY_TICKS_PER_UNIT, SY_TICKS, 0, 0};
  return facts_of(kind_of(record)).scaled;
}

static void scale_record(objet* record, uint32_t factor) {
  for (uint8_t position : scaled_fields(record)) {
    if (position == 0) break;
    multiply(record, position, factor);
  }
  if (kind_of(record) != KIND_SY) return;
  if (objet* tick = long_at(record, SY_TICK_LENGTH))
    tick->value = static_cast<int32_t>(static_cast<uint32_t>(tick->value) / factor);
}

void scale_times(objet* tree, uint32_t factor) {
  auto scale = [factor](objet* holder) {
    scale_record(holder->item, factor);
    return false;
  };
  walk_records(tree, scale);
}

// Same result as turning "while ticks < d: borrow one unit of ticks_per_unit"
// with 32-bit wrap-around, without one turn per unit. With d <= 2^31, a step
// of at most 2^31 never wraps before ticks reach d; a larger step is a
// negative one that counts ticks down until they wrap above d.
uint32_t clock_borrow(uint32_t ticks, uint32_t ticks_per_unit, uint32_t d) {
  if (ticks >= d || ticks_per_unit == 0) return 0;
  if (ticks_per_unit <= 0x80000000u) return (d - ticks + ticks_per_unit - 1) / ticks_per_unit;
  return ticks / (0u - ticks_per_unit) + 1;
}

objet* shifted_time_cell(objet* record) {
  const int position = facts_of(kind_of(record)).time_field;
  return position ? long_at(record, position) : nullptr;
}

static void move_time_field(objet* record, uint32_t d) {
  if (objet* time = shifted_time_cell(record))
    time->value = static_cast<int32_t>(static_cast<uint32_t>(time->value) + d);
}

void shift_record(objet* record, uint32_t d) {
  if (kind_of(record) != KIND_SY) {
    move_time_field(record, d);
    return;
  }
  objet* units = long_at(record, SY_UNITS);
  objet* ticks = long_at(record, SY_TICKS);
  objet* per_unit = long_at(record, SY_TICKS_PER_UNIT);
  if (!units || !ticks || !per_unit) return;
  uint32_t t = static_cast<uint32_t>(ticks->value);
  uint32_t p = static_cast<uint32_t>(per_unit->value);
  uint32_t borrowed = clock_borrow(t, p, d);
  units->value = static_cast<int32_t>(static_cast<uint32_t>(units->value) - borrowed);
  ticks->value = static_cast<int32_t>(t + borrowed * p - d);
}

void shift_times(objet* tree, uint32_t d) {
  auto shift = [d](objet* holder) {
    shift_record(holder->item, d);
    return false;
  };
  walk_records(tree, shift);
}

void move_time_fields(objet* tree, uint32_t d) {
  if (!tree || d == 0) return;
  auto move = [d](objet* holder) {
    move_time_field(holder->item, d);
    return false;
  };
  walk_records(tree, move);
}
