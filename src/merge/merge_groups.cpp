#include "merge/merge_groups.h"

#include <vector>

#include "merge/classify.h"
#include "merge/fields.h"
#include "merge/long_field.h"
#include "merge/merge_records.h"
#include "merge/time_batch.h"
#include "report/report_errors.h"

// The opening record of the block a group node holds.
static objet* opening_of(objet* holder) { return holder->item->item; }

static objet* closing_of(objet* block) {
  objet* last = last_node(block)->item;
  return is_record(last) ? last : nullptr;
}

static objet* ds_record_of(objet* group) {
  objet* holder = first_ds_block(group);
  return holder ? opening_of(holder) : nullptr;
}

static objet* xi_record_of(objet* group) {
  objet* holder = first_xi_block(group);
  return holder ? opening_of(holder) : nullptr;
}

// Prepending keeps the group's head node, so the group stays the same chain
// for whoever holds it.
static void put_first(objet* chain, objet* item) {
  chain->next = make_list(chain->item, chain->next);
  chain->item = item;
}

static void put_after(objet* node, objet* item) { node->next = make_list(item, node->next); }

static objet* take(objet* holder) {
  objet* item = holder->item;
  holder->item = nullptr;
  return item;
}

// Node before the last one of a block, whose successor is the closing record.
static objet* before_closing(objet* block) {
  objet* node = block;
  while (node->next && node->next->next) node = node->next;
  return node;
}

// The inner items of incoming, taken from it in reading order.
static std::vector<objet*> take_inner_items(objet* from, objet* closing) {
  std::vector<objet*> items;
  for (objet* node = from; is_list(node) && node != closing; node = node->next) {
    if (node->item) items.push_back(take(node));
  }
  return items;
}

void merge_block_items(objet* block, objet* incoming) {
  if (!block->next || !incoming->next) return;
  objet* before = before_closing(block);
  objet* closing = before->next;
  before->next = nullptr;
  std::vector<objet*> items = take_inner_items(incoming->next, last_node(incoming));
  block->next = insert_all_by_time(block->next, items);
  append(block, closing);
}

// Inner elements that no group merge takes stay, after the block's own.
static void keep_inner_left_overs(objet* block, objet* from, objet* incoming) {
  std::vector<objet*> items = take_inner_items(from, last_node(incoming));
  objet* node = before_closing(block);
  for (objet* item : items) {
    put_after(node, item);
    node = node->next;
  }
}

void merge_block(objet* target_group, objet* target_holder, objet* incoming_holder) {
  if (!incoming_holder) return;
  if (!target_holder) {
    objet* record = opening_of(incoming_holder);
    uint32_t kind = is_record(record) ? kind_of(record) : KEYWORD_COUNT;
    objet* anchor = nullptr;
    if (kind == KIND_XI) {
      put_first(target_group, take(incoming_holder));
      return;
    }
    if (kind == KIND_DT) anchor = first_ds_block(target_group);
    if (kind == KIND_XE) {
      anchor = first_dt_holder(target_group);
      if (!anchor) anchor = first_ds_block(target_group);
    }
    if (!anchor) unexpected_end_of_report();
    put_after(anchor, take(incoming_holder));
    return;
  }
  objet* block = target_holder->item;
  objet* incoming = incoming_holder->item;
  merge_records(block->item, incoming->item, OPENING_TAIL, 1, KEEP_SMALLER);
  objet* closing = closing_of(block);
  objet* incoming_closing = closing_of(incoming);
  if (closing && incoming_closing) merge_records(closing, incoming_closing, CLOSING_TAIL, 1, KEEP_LARGER);
  merge_block_items(block, incoming);
}

void merge_ds_block(objet* target_group, objet* target_holder, objet* incoming_holder) {
  if (!incoming_holder) return;
  if (!target_holder) {
    objet* anchor = first_xi_block(target_group);
    if (!anchor) unexpected_end_of_report();
    put_after(anchor, take(incoming_holder));
    return;
  }
  objet* block = target_holder->item;
  objet* incoming = incoming_holder->item;
  merge_records(block->item, incoming->item, DS_TAIL, 5, KEEP_SMALLER);
  objet* closing = closing_of(block);
  objet* incoming_closing = closing_of(incoming);
  if (closing && incoming_closing) merge_records(closing, incoming_closing, FS_TAIL, 3, FS_STATUS);
  objet* inner = incoming->next;
  if (!inner || !all_open_groups(inner->item)) {
    merge_block_items(block, incoming);
    return;
  }
  objet* own_inner = block->next;
  if (own_inner && all_open_groups(own_inner->item)) {
    merge_groups(own_inner->item, inner->item);
    keep_inner_left_overs(block, inner->next, incoming);
  } else {
    keep_inner_left_overs(block, inner, incoming);
  }
}

void merge_group_into(objet* target_group, objet* group) {
  merge_block(target_group, first_xi_block(target_group), first_xi_block(group));
  merge_ds_block(target_group, first_ds_block(target_group), first_ds_block(group));
  merge_block(target_group, first_dt_holder(target_group), first_dt_holder(group));
  merge_block(target_group, first_xe_holder(target_group), first_xe_holder(group));
}

static void append_group(objet* target, objet* incoming_node) {
  append(target, list1(take(incoming_node)));
}

void merge_group_by_report(objet* target, objet* incoming_node) {
  objet* group = incoming_node->item;
  objet* xi = xi_record_of(group);
  if (!xi) {
    append_group(target, incoming_node);
    return;
  }
  objet* report_number = field_at(xi, OPENING_TAIL);
  for (objet* node = target; is_list(node); node = node->next) {
    if (!node->item) continue;
    objet* record = xi_record_of(node->item);
    int start = OPENING_TAIL;
    if (!record) {
      record = ds_record_of(node->item);
      start = DS_TAIL;
    }
    if (!record) internal_report_error();
    if (holds_report(record, start, report_number)) continue;
    merge_group_into(node->item, group);
    return;
  }
  append_group(target, incoming_node);
}

static bool same_ds_name(objet* a, objet* b) {
  for (int field : {1, 4}) {
    objet* x = string_at(a, field);
    objet* y = string_at(b, field);
    if (!x || !y || !equal_string(x, y)) return false;
  }
  return true;
}

bool merge_group_by_name(objet* target, objet* incoming_node) {
  objet* group = incoming_node->item;
  objet* ds = ds_record_of(group);
  objet* report_number = field_at(ds, DS_TAIL);
  for (objet* node = target; is_list(node); node = node->next) {
    if (!node->item) continue;
    objet* target_ds = ds_record_of(node->item);
    bool takes = false;
    if (target_ds) {
      takes = same_ds_name(target_ds, ds);
    } else {
      objet* xi = xi_record_of(node->item);
      takes = !xi || !holds_report(xi, OPENING_TAIL, report_number);
    }
    if (takes) {
      merge_group_into(node->item, group);
      return true;
    }
  }
  return false;
}

static bool starts_later(objet* group, uint32_t key) {
  objet* ds = ds_record_of(group);
  objet* start = ds ? long_at(ds, 7) : nullptr;
  return start && static_cast<uint32_t>(start->value) > key;
}

void insert_group_in_order(objet* target, objet* incoming_node) {
  objet* start = long_at(ds_record_of(incoming_node->item), 7);
  uint32_t key = start ? static_cast<uint32_t>(start->value) : 0;
  objet* before = nullptr;
  for (objet* node = target; is_list(node); before = node, node = node->next) {
    if (!node->item || !starts_later(node->item, key)) continue;
    if (before)
      put_after(before, take(incoming_node));
    else
      put_first(target, take(incoming_node));
    return;
  }
  append_group(target, incoming_node);
}

void merge_groups(objet* target, objet* incoming) {
  for (objet* node = incoming; is_list(node); node = node->next) {
    if (!node->item) continue;
    if (!first_ds_block(node->item))
      merge_group_by_report(target, node);
    else if (!merge_group_by_name(target, node))
      insert_group_in_order(target, node);
  }
}
