#include "merge/time_base.h"

#include "merge/classify.h"
#include "merge/long_field.h"
#include "merge/record_walk.h"
#include "merge/time_points.h"

objet* move_time_field(objet* record, uint32_t d) {
  int position = time_field_of_kind(kind_of(record));
  objet* time = position ? long_at(record, position) : nullptr;
  if (time) time->value = static_cast<int32_t>(static_cast<uint32_t>(time->value) + d);
  return time;
}

static void move_time_fields(objet* tree, uint32_t d) {
  if (!tree || d == 0) return;
  auto move = [d](objet* holder) {
    move_time_field(holder->item, d);
    return false;
  };
  walk_records(tree, move);
}

void settle_times(objet* merged, time_base* base) {
  move_time_fields(merged, base->pending);
  base->pending = 0;
}

void join_time_base(objet* merged, time_base* base, objet* report) {
  if (!merged) *base = time_base{};
  move_time_fields(report, 0u - base->pending);
}
