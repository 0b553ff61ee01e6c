#include "merge/time_points.h"

#include "merge/shapes.h"
#include "merge/fields.h"

objet* fixed_time_cell = nullptr;

void init_fixed_time_cell() {
  if (!fixed_time_cell) fixed_time_cell = make_long(FIXED_TIME);
}

uint32_t key_time(const objet* key, uint32_t offset) {
  uint32_t value = static_cast<uint32_t>(key->value);
  return key == fixed_time_cell ? value : value + offset;
}

objet* time_key(objet* record) {
  if (!is_record(record)) return nullptr;
  uint32_t kind = kind_of(record);
  if (facts_of(kind).fixed_time) return fixed_time_cell;
  int position = facts_of(kind).time_field;
  if (position == 0) return nullptr;
  objet* cell = field_at(record, position);
  return cell && cell->type == OBJ_LONG ? cell : nullptr;
}

objet* order_key(objet* item) {
  if (is_record(item)) return time_key(item);
  if (!is_block(item)) return nullptr;
  for (objet* node = item; is_list(node); node = node->next) {
    if (objet* key = time_key(node->item)) return key;
  }
  return nullptr;
}

// A time point carries the time of the last record before it that has one
// of its own, time points aside.
static bool sets_last_time(uint32_t kind) { return facts_of(kind).time_field != 0 && kind != KIND_TP; }

static objet* make_time_point(int32_t value) {
  objet* keyword = make_string("TP");
  keyword->kind = KIND_TP;
  return list2(keyword, make_long(value));
}

objet* insert_time_points(objet* report) {
  int32_t last_time = 0;
  for (objet* node = report; is_list(node); node = node->next) {
    if (!is_record(node->item)) continue;
    uint32_t kind = kind_of(node->item);
    if (sets_last_time(kind)) {
      if (objet* key = time_key(node->item)) last_time = key->value;
    } else if (facts_of(kind).time_point_after) {
      node->next = make_list(make_time_point(last_time), node->next);
      node = node->next;
    }
  }
  return report;
}
