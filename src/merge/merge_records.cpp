#include "merge/merge_records.h"

#include <cstring>

#include "merge/fields.h"
#include "merge/long_field.h"
#include "merge/time_points.h"

// A merged block's end records take one tail per report.
static objet* last_field(objet* record, merge_cache* cache) {
  if (!cache) return last_node(record);
  auto known = cache->last_fields.find(record);
  return known != cache->last_fields.end() ? known->second : last_node(record);
}

static void move_tail(objet* target, objet* incoming, int position, merge_cache* cache) {
  objet* before = node_at(incoming, position - 1);
  if (!before || !before->next) return;
  objet* tail = before->next;
  before->next = nullptr;
  last_field(target, cache)->next = tail;
  if (cache) cache->last_fields[target] = last_node(tail);
}

static bool text_is(const objet* cell, const char* text) {
  return is_string(cell) && cell->length == strlen(text) && memcmp(cell->text, text, cell->length) == 0;
}

// Status "1" stays; otherwise "2", then "1", from the incoming record win.
static void merge_fs_status(objet* target, objet* incoming) {
  objet* mine = string_at(target, 3);
  objet* theirs = string_at(incoming, 3);
  if (!mine || !theirs || text_is(mine, "\"1\"")) return;
  if (text_is(theirs, "\"2\"") || text_is(theirs, "\"1\""))
    free_objet(replace_field(target, 3, copy_objet(theirs)));
}

// A time field holds its time less the merge's offset; other fields as read.
static uint32_t stored_time(objet* record, int field, const objet* cell) {
  uint32_t value = static_cast<uint32_t>(cell->value);
  return is_time_field(record, field) ? value + stored_time_offset : value;
}

static void merge_times(objet* target, objet* incoming, int field, bool smaller) {
  objet* mine = long_at(target, field);
  objet* theirs = long_at(incoming, field);
  if (!mine || !theirs) return;
  uint32_t a = stored_time(target, field, mine);
  uint32_t b = stored_time(incoming, field, theirs);
  if (smaller ? b < a : b > a) mine->value = theirs->value;
}

void merge_records(objet* target, objet* incoming, int tail_position, int field, field_rule rule,
                   merge_cache* cache) {
  if (rule == FS_STATUS)
    merge_fs_status(target, incoming);
  else
    merge_times(target, incoming, field, rule == KEEP_SMALLER);
  move_tail(target, incoming, tail_position, cache);
}

bool holds_report(objet* record, int start, const objet* report_number) {
  if (!report_number || (report_number->type != OBJ_INT && report_number->type != OBJ_LONG))
    return false;
  for (objet* node = node_at(record, start); is_list(node);) {
    objet* cell = node->item;
    if (cell && (cell->type == OBJ_INT || cell->type == OBJ_LONG) && cell->value == report_number->value)
      return true;
    node = node->next;
    if (!is_list(node)) break;
    node = node->next;
  }
  return false;
}
