#include "merge/time_range.h"

#include <algorithm>

#include "merge/time_shift.h"
#include "report/record_walk.h"

bool shift_keeps_in_range(int64_t largest, uint32_t d) { return largest + d <= INT32_MAX; }

read_place place_in(tree_node* tree, const record* r) {
  read_places places;
  auto visit = [&places, r](tree_node* holder) {
    places.pass(*holder->item.rec());
    return holder->item.rec() == r;
  };
  walk_records(tree, visit);
  return places.last();
}

const record* first_shifted_out(tree_node* tree, uint32_t owed, uint32_t d) {
  const record* found = nullptr;
  auto visit = [&found, owed, d](tree_node* holder) {
    const record* r = holder->item.rec();
    if (!shift_keeps_record_in_range(*r, owed, d)) found = r;
    return found != nullptr;
  };
  walk_records(tree, visit);
  return found;
}
