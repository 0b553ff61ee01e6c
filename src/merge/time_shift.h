#pragma once

// The walks that change every time of a tree: a finer tick length scales
// them, a new time origin shifts them. Closing records keep the fixed time.

#include <cstdint>
#include <initializer_list>

#include "report/record_kinds.h"
#include "report/tree_node.h"

// Multiplies the times of tree by factor, up to the first record whose
// times it would take out of the signed 32-bit range, which it returns
// unscaled; nothing when all are scaled.
const record* scale_times(tree_node* tree, uint32_t factor);
// The fields a shift adds to, each when it holds a number: the record's own
// time field and, in a rendezvous, the time matched between reports, which
// must lie on the base of the reports it is matched with (clock records and
// the fixed time have none). visit(position, stored number) for each, in
// that order; every walk that moves times asks it of every record.
template <typename Visit>
[[gnu::always_inline]] inline void for_each_shifted_field(const record& r, Visit visit) {
  const kind_facts& facts = facts_of(r.kind());
  for (const uint32_t position : {uint32_t{facts.time_field}, uint32_t{facts.matched_time}}) {
    if (position == 0) continue;
    const field value = r.at(position);
    if (value.is_number()) visit(position, value.number);
  }
}
// Moves the time origin of a record d ticks earlier, keeping its absolute
// times; d is at most 2^31 (a negated signed 32-bit difference). A clock
// record borrows whole units so that its ticks reach d.
void shift_record(record* r, uint32_t d);
// Whether shift_record leaves a record's values in range: a clock's units
// after the borrow and its ticks, exactly; other records' shifted fields.
// owed: what the record's times lag the times they stand for.
bool shift_keeps_record_in_range(const record& r, uint32_t owed, uint32_t d);
// The same for one stored time of a record that is no clock.
bool shift_keeps_time_in_range(int32_t stored, uint32_t owed, uint32_t d);
// Whole units a SY record borrows so that its ticks reach d.
uint32_t clock_borrow(uint32_t ticks, uint32_t ticks_per_unit, uint32_t d);
// Adds d to every shifted field of tree, clock records aside.
void move_time_fields(tree_node* tree, uint32_t d);
// Adds d to the shifted fields of one record. Inlined: the writer asks it of
// every record when the merged tree owes a shift.
[[gnu::always_inline]] inline void move_time_fields(record* r, uint32_t d) {
  for_each_shifted_field(*r, [r, d](uint32_t position, int32_t stored) {
    r->set_number(position, static_cast<int32_t>(static_cast<uint32_t>(stored) + d));
  });
}

// A tree as the merge hands it over: its stored times lag the times they
// stand for by owed ticks (see alignment.h). Whoever reads its times pays
// the shift first, record by record as the writer does (which saves a walk
// over the whole tree) or all at once.
struct owing_tree {
  tree_node* tree = nullptr;
  uint32_t owed = 0;
};
// The tree, every shift paid.
tree_node* settled(owing_tree owing);
