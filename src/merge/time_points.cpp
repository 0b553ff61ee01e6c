#include "merge/time_points.h"

#include "merge/classify.h"
#include "merge/fields.h"
#include "report/report_errors.h"

objet* fixed_time_cell = nullptr;
uint32_t stored_time_offset = 0;

void init_fixed_time_cell() {
  if (!fixed_time_cell) fixed_time_cell = make_long(FIXED_TIME);
}

int time_field_of_kind(uint32_t kind) {
  switch (kind) {
    case KIND_XI:
    case KIND_DT:
    case KIND_XE:
    case KIND_TP:
      return 1;
    case KIND_DP:
    case KIND_FT:
    case KIND_TN:
    case KIND_TF:
    case KIND_FB:
      return 2;
    case KIND_DS:
    case KIND_DA:
    case KIND_DW:
    case KIND_EV:
    case KIND_RD:
    case KIND_FW:
    case KIND_ID:
      return 5;
    case KIND_SN:
      return 6;
    case KIND_IC:
      return 7;
    default:
      return 0;
  }
}

uint32_t key_time(const objet* key) {
  uint32_t value = static_cast<uint32_t>(key->value);
  return key == fixed_time_cell ? value : value + stored_time_offset;
}

bool is_time_field(objet* record, int position) { return time_field_of_kind(kind_of(record)) == position; }

static bool has_fixed_time(uint32_t kind) {
  return kind == KIND_YI || kind == KIND_YT || kind == KIND_FE || kind == KIND_FS;
}

objet* time_key(objet* record) {
  if (!is_record(record)) return nullptr;
  uint32_t kind = kind_of(record);
  if (has_fixed_time(kind)) return fixed_time_cell;
  int position = time_field_of_kind(kind);
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

static bool key_after(const objet* key, uint32_t value) {
  return key && static_cast<uint32_t>(key->value) > value;
}

// Items already in the list without an order key are passed over.
objet* insert_by_time(objet* list, objet* item) {
  objet* key = order_key(item);
  if (!key) unexpected_end_of_report();
  uint32_t value = static_cast<uint32_t>(key->value);
  if (!list) return list1(item);
  if (key_after(order_key(list->item), value)) return make_list(item, list);
  objet* node = list;
  while (node->next && !key_after(order_key(node->next->item), value)) node = node->next;
  node->next = make_list(item, node->next);
  return list;
}

static bool sets_last_time(uint32_t kind) { return time_field_of_kind(kind) != 0 && kind != KIND_TP; }

static bool needs_time_point(uint32_t kind) {
  return kind == KIND_XX || kind == KIND_ER || kind == KIND_EX || kind == KIND_PP;
}

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
    } else if (needs_time_point(kind)) {
      node->next = make_list(make_time_point(last_time), node->next);
      node = node->next;
    }
  }
  return report;
}
