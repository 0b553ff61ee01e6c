#include "merge/time_shift.h"

#include <array>
#include <optional>
#include <tuple>

#include "report/time_limits.h"
#include "report/record_kinds.h"
#include "report/record_walk.h"

// A clock's start and ticks per unit count finer ticks, its tick length is
// that much shorter; other kinds scale the fields the vocabulary names (BF
// fields are text and stay).
static field_list scaled_fields(const record& r) {
  if (r.kind() == KIND_SY) return {SY_TICKS_PER_UNIT.position, SY_TICKS.position, 0, 0};
  return facts_of(r.kind()).scaled;
}

// Each field is read once: its product is checked, and the record is
// changed only when every product is in range. False, the record unchanged,
// when one is not.
static bool scale_record(record* r, uint32_t factor) {
  struct product {
    uint8_t position;
    int32_t value;
  };
  const field_list positions = scaled_fields(*r);
  std::array<product, std::tuple_size<field_list>::value> products;
  size_t count = 0;
  for (const uint8_t position : positions) {
    if (position == 0) break;
    const field value = r->at(position);
    if (!value.is_number()) continue;
    const int64_t scaled = int64_t{value.number} * factor;
    if (!in_time_range(scaled)) return false;
    products[count++] = {position, static_cast<int32_t>(scaled)};
  }
  for (size_t i = 0; i < count; ++i) r->set_number(products[i].position, products[i].value);
  if (r->kind() != KIND_SY) return true;
  if (const field tick = r->at(SY_TICK_LENGTH); tick.is_number())
    r->set_number(SY_TICK_LENGTH, static_cast<int32_t>(static_cast<uint32_t>(tick.number) / factor));
  return true;
}

const record* scale_times(tree_node* tree, uint32_t factor) {
  const record* out_of_range = nullptr;
  auto scale = [factor, &out_of_range](tree_node* holder) {
    record* r = holder->item.rec();
    if (scale_record(r, factor)) return false;
    out_of_range = r;
    return true;
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

// A clock's units and ticks after a shift of d, exactly; nothing when the
// record lacks one of the numbers it is shifted by.
struct clock_start {
  int64_t units;
  int64_t ticks;
};

static std::optional<clock_start> shifted_clock(const record& r, uint32_t d) {
  const field units = r.at(SY_UNITS);
  const field ticks = r.at(SY_TICKS);
  const field per_unit = r.at(SY_TICKS_PER_UNIT);
  if (!units.is_number() || !ticks.is_number() || !per_unit.is_number()) return std::nullopt;
  const int64_t borrowed =
      clock_borrow(static_cast<uint32_t>(ticks.number), static_cast<uint32_t>(per_unit.number), d);
  return clock_start{units.number - borrowed, ticks.number + borrowed * per_unit.number - int64_t{d}};
}

bool shift_keeps_record_in_range(const record& r, uint32_t owed, uint32_t d) {
  if (r.kind() == KIND_SY) {
    const std::optional<clock_start> start = shifted_clock(r, d);
    return !start || (in_time_range(start->units) && in_time_range(start->ticks));
  }
  bool in_range = true;
  for_each_shifted_field(r, [&in_range, owed, d](uint32_t, int32_t stored) {
    in_range = in_range && shift_keeps_time_in_range(stored, owed, d);
  });
  return in_range;
}

bool shift_keeps_time_in_range(int32_t stored, uint32_t owed, uint32_t d) {
  const auto time = static_cast<int32_t>(static_cast<uint32_t>(stored) + owed);
  return in_time_range(int64_t{time} + d);
}

void shift_record(record* r, uint32_t d) {
  if (r->kind() != KIND_SY) {
    move_time_fields(r, d);
    return;
  }
  // The values wrap as 32-bit numbers do; callers refuse a shift that
  // would take them out of range before making it.
  if (const std::optional<clock_start> start = shifted_clock(*r, d)) {
    r->set_number(SY_UNITS, static_cast<int32_t>(static_cast<uint32_t>(start->units)));
    r->set_number(SY_TICKS, static_cast<int32_t>(static_cast<uint32_t>(start->ticks)));
  }
}

void move_time_fields(tree_node* tree, uint32_t d) {
  if (!tree || d == 0) return;
  auto move = [d](tree_node* holder) {
    move_time_fields(holder->item.rec(), d);
    return false;
  };
  walk_records(tree, move);
}

tree_node* settled(owing_tree owing) {
  move_time_fields(owing.tree, owing.owed);
  return owing.tree;
}
