#include "merge/time_shift.h"

#include "merge/time_range.h"
#include "report/record_kinds.h"
#include "report/record_walk.h"

static void multiply(record* r, uint32_t position, uint32_t factor) {
  if (const field value = r->at(position); value.is_number())
    r->set_number(position, static_cast<int32_t>(static_cast<uint32_t>(value.number) * factor));
}

// A clock's start and ticks per unit count finer ticks, its tick length is
// that much shorter; other kinds scale the fields the vocabulary names (BF
// fields are text and stay).
field_list scaled_fields(const record& r) {
  if (r.kind() == KIND_SY) return {SY_TICKS_PER_UNIT, SY_TICKS, 0, 0};
  return facts_of(r.kind()).scaled;
}

static void scale_record(record* r, uint32_t factor) {
  for (uint8_t position : scaled_fields(*r)) {
    if (position == 0) break;
    multiply(r, position, factor);
  }
  if (r->kind() != KIND_SY) return;
  if (const field tick = r->at(SY_TICK_LENGTH); tick.is_number())
    r->set_number(SY_TICK_LENGTH, static_cast<int32_t>(static_cast<uint32_t>(tick.number) / factor));
}

static bool scales_in_range(const record& r, uint32_t factor) {
  for (uint8_t position : scaled_fields(r)) {
    if (position == 0) break;
    const field value = r.at(position);
    if (value.is_number() && !in_time_range(int64_t{value.number} * factor)) return false;
  }
  return true;
}

const record* scale_times(objet* tree, uint32_t factor) {
  const record* out_of_range = nullptr;
  auto scale = [factor, &out_of_range](objet* holder) {
    record* r = holder->item.rec();
    if (!scales_in_range(*r, factor)) {
      out_of_range = r;
      return true;
    }
    scale_record(r, factor);
    return false;
  };
  walk_records(tree, scale);
  return out_of_range;
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

uint32_t shifted_time_field(const record& r) {
  const uint32_t position = facts_of(r.kind()).time_field;
  return position && r.at(position).is_number() ? position : 0;
}

static void move_time_field(record* r, uint32_t d) {
  if (const uint32_t position = shifted_time_field(*r))
    r->set_number(position, static_cast<int32_t>(static_cast<uint32_t>(r->at(position).number) + d));
}

void shift_record(record* r, uint32_t d) {
  if (r->kind() != KIND_SY) {
    move_time_field(r, d);
    return;
  }
  const field units = r->at(SY_UNITS);
  const field ticks = r->at(SY_TICKS);
  const field per_unit = r->at(SY_TICKS_PER_UNIT);
  if (!units.is_number() || !ticks.is_number() || !per_unit.is_number()) return;
  const uint32_t t = static_cast<uint32_t>(ticks.number);
  const uint32_t p = static_cast<uint32_t>(per_unit.number);
  const uint32_t borrowed = clock_borrow(t, p, d);
  r->set_number(SY_UNITS, static_cast<int32_t>(static_cast<uint32_t>(units.number) - borrowed));
  r->set_number(SY_TICKS, static_cast<int32_t>(t + borrowed * p - d));
}

void move_time_fields(objet* tree, uint32_t d) {
  if (!tree || d == 0) return;
  auto move = [d](objet* holder) {
    move_time_field(holder->item.rec(), d);
    return false;
  };
  walk_records(tree, move);
}
