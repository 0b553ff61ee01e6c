// The merge of two blocks that stand for the same test item or step: their
// end records join, and so do their inner items, in time order.

#include <cstring>
#include <vector>

#include "merge/fields.h"
#include "merge/rendezvous_marks.h"
#include "merge/shapes.h"
#include "merge/time_points.h"
#include "merge/tree_edits.h"
#include "merge/tree_merge.h"
#include "report/report_errors.h"

// The opening record of the block a group node holds.
static objet* opening_of(objet* holder) { return holder->item->item; }

static objet* record_at(objet* node) { return is_record(node->item) ? node->item : nullptr; }

// An incoming block's end: blocks of incoming reports are read as they are.
static block_end end_of(objet* block) {
  objet* node = block;
  while (node->next && node->next->next) node = node->next;
  return {node, node->next ? node->next : node};
}

// The inner items of incoming, taken from it in reading order.
static std::vector<objet*> take_inner_items(objet* from, objet* closing) {
  std::vector<objet*> items;
  for (objet* node = from; is_list(node) && node != closing; node = node->next) {
    if (node->item) items.push_back(take(node));
  }
  return items;
}

void tree_merge::merge_block_items(objet* block, const block_end& end, objet* incoming,
                                   const block_end& incoming_end) {
  if (!block->next || !incoming->next) return;
  cache_.insert_into_block(block, end, take_inner_items(incoming->next, incoming_end.last), owed_);
}

// Inner elements that no group merge takes stay, after the block's own.
static void keep_inner_left_overs(const block_end& end, objet* from, const block_end& incoming_end) {
  objet* node = end.before;
  for (objet* item : take_inner_items(from, incoming_end.last)) {
    put_after(node, item);
    node = node->next;
  }
}

// The end records of test items (XI, DT, XE and their closing records) and
// of test steps (DS, FS) merge as those of XI and DS blocks do, whatever
// records a block really holds.
void tree_merge::merge_block_ends(objet* block, const block_end& end, objet* incoming,
                                  const block_end& incoming_end, record_kind opening, record_kind closing) {
  merge_records(block->item, incoming->item, facts_of(opening).merged);
  objet* target_closing = record_at(end.last);
  objet* incoming_closing = record_at(incoming_end.last);
  if (target_closing && incoming_closing)
    merge_records(target_closing, incoming_closing, facts_of(closing).merged);
}

// A block the target group lacks goes into it: an XI block first, a DT
// block after its DS block, an XE element after its DT element or else its
// DS block.
void tree_merge::merge_block(objet* target_group, objet* target_holder, objet* incoming_holder) {
  if (!incoming_holder) return;
  if (!target_holder) {
    objet* record = opening_of(incoming_holder);
    const uint32_t kind = is_record(record) ? kind_of(record) : uint32_t{KEYWORD_COUNT};
    objet* anchor = nullptr;
    if (kind == KIND_XI) {
      put_first(target_group, take(incoming_holder));
      return;
    }
    if (kind == KIND_DT) anchor = cache_.first_holding(target_group, KIND_DS, true);
    if (kind == KIND_XE) {
      anchor = cache_.first_holding(target_group, KIND_DT, false);
      if (!anchor) anchor = cache_.first_holding(target_group, KIND_DS, true);
    }
    if (!anchor) unexpected_end_of_report();
    put_after(anchor, take(incoming_holder));
    return;
  }
  objet* block = target_holder->item;
  objet* incoming = incoming_holder->item;
  join_rd_marks(block, incoming);
  const block_end end = cache_.end_of(block);
  const block_end incoming_end = end_of(incoming);
  merge_block_ends(block, end, incoming, incoming_end, KIND_XI, KIND_YI);
  merge_block_items(block, end, incoming, incoming_end);
}

// The inner group lists, when both blocks hold them, are left in *nested:
// merging them touches nothing that the rest of this merge does.
void tree_merge::merge_ds_block(objet* target_group, objet* target_holder, objet* incoming_holder,
                                nested_lists* nested) {
  if (!incoming_holder) return;
  if (!target_holder) {
    objet* anchor = cache_.first_holding(target_group, KIND_XI, true);
    if (!anchor) unexpected_end_of_report();
    put_after(anchor, take(incoming_holder));
    return;
  }
  objet* block = target_holder->item;
  objet* incoming = incoming_holder->item;
  join_rd_marks(block, incoming);
  const block_end end = cache_.end_of(block);
  const block_end incoming_end = end_of(incoming);
  merge_block_ends(block, end, incoming, incoming_end, KIND_DS, KIND_FS);
  objet* inner = incoming->next;
  if (!inner || !all_open_groups(inner->item)) {
    merge_block_items(block, end, incoming, incoming_end);
    return;
  }
  // Merging inner groups leaves the block's own chain as it is.
  cache_.forget_order_of(block);
  // The merged groups' blocks grow with every report: the cache answers
  // for those it keeps the order of without reading them.
  objet* own_inner = block->next;
  auto merged_block_of = [this](objet* list, uint32_t kind) { return cache_.first_holding(list, kind, true); };
  if (own_inner && all_open_groups(own_inner->item, merged_block_of)) {
    *nested = {own_inner->item, inner->item};
    keep_inner_left_overs(end, inner->next, incoming_end);
  } else {
    keep_inner_left_overs(end, inner, incoming_end);
  }
}

void tree_merge::merge_group_head(objet* target_group, objet* group, nested_lists* nested) {
  merge_block(target_group, cache_.first_holding(target_group, KIND_XI, true), first_block_of(group, KIND_XI));
  merge_ds_block(target_group, cache_.first_holding(target_group, KIND_DS, true), first_block_of(group, KIND_DS),
                 nested);
}

void tree_merge::merge_group_tail(objet* target_group, objet* group) {
  merge_block(target_group, cache_.first_holding(target_group, KIND_DT, false), first_holder_of(group, KIND_DT));
  merge_block(target_group, cache_.first_holding(target_group, KIND_XE, false), first_holder_of(group, KIND_XE));
}

static bool text_is(const objet* cell, const char* text) {
  return is_string(cell) && cell->length == strlen(text) && memcmp(cell->text, text, cell->length) == 0;
}

// Status "1" stays; otherwise "2", then "1", from the incoming record win.
static void merge_status(objet* target, objet* incoming, int field) {
  objet* mine = string_at(target, field);
  objet* theirs = string_at(incoming, field);
  if (!mine || !theirs || text_is(mine, "\"1\"")) return;
  if (text_is(theirs, "\"2\"") || text_is(theirs, "\"1\""))
    free_objet(replace_field(target, field, copy_objet(theirs)));
}

// A time field holds its time less the owed shift; other fields as read.
uint32_t tree_merge::time_of(objet* record, int field, const objet* cell) const {
  uint32_t value = static_cast<uint32_t>(cell->value);
  return facts_of(kind_of(record)).time_field == field ? value + owed_ : value;
}

void tree_merge::merge_records(objet* target, objet* incoming, const merged_end& end) {
  if (end.kept == kept_value::status) {
    merge_status(target, incoming, end.field);
  } else {
    objet* mine = long_at(target, end.field);
    objet* theirs = long_at(incoming, end.field);
    if (mine && theirs) {
      const uint32_t a = time_of(target, end.field, mine);
      const uint32_t b = time_of(incoming, end.field, theirs);
      if (end.kept == kept_value::smaller ? b < a : b > a) mine->value = theirs->value;
    }
  }
  objet* before = node_at(incoming, end.tail - 1);
  if (!before || !before->next) return;
  cache_.append_tail(target, before->next);
  before->next = nullptr;
}
