#include "report/time_points.h"

#include "report/shapes.h"

std::optional<time_key> block_order_key(tree_item item) {
  if (!is_block(item)) return std::nullopt;
  for (tree_node* node = item.list(); node; node = node->next) {
    if (auto key = time_key_of(node->item)) return key;
  }
  return std::nullopt;
}

// A time point carries the time of the last record before it that has one
// of its own, time points aside.
static bool sets_last_time(uint32_t kind) { return facts_of(kind).time_field != 0 && kind != KIND_TP; }

static record* make_time_point(int32_t value) {
  const field time = field::of_number(value);
  return make_record(facts_of(KIND_TP).keyword, &time, 1, KIND_TP);
}

tree_node* insert_time_points(tree_node* report) {
  int32_t last_time = 0;
  for (tree_node* node = report; node; node = node->next) {
    const record* r = node->item.rec();
    if (!r) continue;
    const uint32_t kind = r->kind();
    if (sets_last_time(kind)) {
      if (auto key = time_key_of(node->item)) last_time = static_cast<int32_t>(key->value);
    } else if (facts_of(kind).time_point_after) {
      node->next = make_list(make_time_point(last_time), node->next);
      node = node->next;
    }
  }
  return report;
}
