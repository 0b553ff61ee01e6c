#include "merge/time_range.h"

#include <QString>
#include <algorithm>

#include "merge/time_shift.h"
#include "messages/emit.h"
#include "report/record_walk.h"

// The time a record's time field stands for, the tree owing owed.
static std::optional<int64_t> time_of(const record& r, uint32_t owed) {
  const uint32_t position = shifted_time_field(r);
  if (!position) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(r.at(position).number) + owed);
}

bool shift_keeps_in_range(int64_t largest, uint32_t d) { return largest + d <= INT32_MAX; }

// The report number and line number every record read ends with, after the
// fields it was read with.
void read_places::pass(const record& r) {
  const field number = r.at(r.read_fields() + 1);
  const field line = r.at(r.read_fields() + 2);
  if (number.type == field_type::counter && line.type == field_type::counter) last_ = {number.number, line.number + 1};
}

read_place place_in(objet* tree, const record* r) {
  read_places places;
  auto visit = [&places, r](objet* holder) {
    places.pass(*holder->item.rec());
    return holder->item.rec() == r;
  };
  walk_records(tree, visit);
  return places.last();
}

const record* first_shifted_out(objet* tree, uint32_t owed, uint32_t d) {
  const record* found = nullptr;
  auto visit = [&found, owed, d](objet* holder) {
    const record* r = holder->item.rec();
    const auto time = time_of(*r, owed);
    if (time && !in_time_range(*time + d)) found = r;
    return found != nullptr;
  };
  walk_records(tree, visit);
  return found;
}

void refuse_time_out_of_range(const char* rod_path, int32_t line) {
  msg_fatal("TIMERANGE", name_arg(rod_path), QString::number(line));
}
