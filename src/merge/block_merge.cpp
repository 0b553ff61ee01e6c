// The merge of two blocks that stand for the same test item or step: their
// end records join, and so do their inner items, in time order.

#include <vector>

#include "merge/rendezvous_marks.h"
#include "merge/tree_edits.h"
#include "merge/tree_merge.h"
#include "report/report_errors.h"
#include "report/shapes.h"
#include "report/time_points.h"

void tree_merge::merge_block_items(tree_node* block, const block_end& end, tree_node* incoming,
                                   const block_end& incoming_end) {
  if (!block->next || !incoming->next) return;
  unlink_carriers(&incoming->next, incoming_end.last, &carriers_);
  cache_.insert_into_block(block, end, carriers_, owed_);
}

// Inner elements that no group merge takes stay, after the block's own.
void tree_merge::keep_inner_left_overs(const block_end& end, tree_node** from, const block_end& incoming_end) {
  tree_node* node = end.before;
  unlink_carriers(from, incoming_end.last, &carriers_);
  for (tree_node* carrier : carriers_) {
    carrier->next = node->next;
    node->next = carrier;
    node = carrier;
  }
}

// The end records of test items (XI, DT, XE and their closing records) and
// of test steps (DS, FS) merge as those of XI and DS blocks do, whatever
// records a block really holds.
tree_merge::joined_blocks tree_merge::join_ends(tree_node* target_holder, tree_node* incoming_holder,
                                                record_kind opening, record_kind closing) {
  joined_blocks joined{target_holder->item.list(), incoming_holder->item.list(), {}, {}};
  join_rd_marks(joined.block, joined.incoming);
  joined.end = cache_.end_of(joined.block);
  joined.incoming_end = block_end_of(joined.incoming);  // incoming blocks are read as they are
  merge_records(joined.block->item.rec(), joined.incoming->item.rec(), facts_of(opening).merged);
  record* target_closing = joined.end.last->item.rec();
  record* incoming_closing = joined.incoming_end.last->item.rec();
  if (target_closing && incoming_closing)
    merge_records(target_closing, incoming_closing, facts_of(closing).merged);
  return joined;
}

// A block the target group lacks goes in after anchor; no anchor ends the run.
static void put_lacking_block(tree_node* anchor, tree_node* incoming_holder) {
  if (!anchor) unexpected_end_of_report();
  put_after(anchor, take(incoming_holder));
}

// A block the target group lacks goes into it: an XI block first, a DT
// block after its DS block, an XE element after its DT element or else its
// DS block.
void tree_merge::merge_block(tree_node* target_group, tree_node* target_holder, tree_node* incoming_holder) {
  if (!incoming_holder) return;
  if (!target_holder) {
    const record* opening = incoming_holder->item.list()->item.rec();
    const uint32_t kind = opening ? opening->kind() : uint32_t{KEYWORD_COUNT};
    tree_node* anchor = nullptr;
    if (kind == KIND_XI) {
      put_first(target_group, take(incoming_holder));
      return;
    }
    if (kind == KIND_DT) anchor = cache_.first_holding(target_group, KIND_DS, true);
    if (kind == KIND_XE) {
      anchor = cache_.first_holding(target_group, KIND_DT, false);
      if (!anchor) anchor = cache_.first_holding(target_group, KIND_DS, true);
    }
    put_lacking_block(anchor, incoming_holder);
    return;
  }
  const joined_blocks joined = join_ends(target_holder, incoming_holder, KIND_XI, KIND_YI);
  merge_block_items(joined.block, joined.end, joined.incoming, joined.incoming_end);
}

// The inner group lists, when both blocks hold them, are left in *nested:
// merging them touches nothing that the rest of this merge does.
void tree_merge::merge_ds_block(tree_node* target_group, tree_node* target_holder, tree_node* incoming_holder,
                                nested_lists* nested) {
  if (!incoming_holder) return;
  if (!target_holder) {
    put_lacking_block(cache_.first_holding(target_group, KIND_XI, true), incoming_holder);
    return;
  }
  const joined_blocks joined = join_ends(target_holder, incoming_holder, KIND_DS, KIND_FS);
  tree_node* block = joined.block;
  tree_node* incoming = joined.incoming;
  const block_end& end = joined.end;
  const block_end& incoming_end = joined.incoming_end;
  tree_node* inner = incoming->next;
  if (!inner || !all_open_groups(inner->item)) {
    merge_block_items(block, end, incoming, incoming_end);
    return;
  }
  // Merging inner groups leaves the block's own chain as it is.
  cache_.forget_order_of(block);
  // The merged groups' blocks grow with every report: the cache answers
  // for those it keeps the order of without reading them.
  tree_node* own_inner = block->next;
  auto merged_block_of = [this](tree_item list, uint32_t kind) {
    return cache_.first_holding(list.list(), kind, true);
  };
  if (own_inner && all_open_groups(own_inner->item, merged_block_of)) {
    *nested = {own_inner->item.list(), inner->item.list()};
    keep_inner_left_overs(end, &inner->next, incoming_end);
  } else {
    keep_inner_left_overs(end, &incoming->next, incoming_end);
  }
}

void tree_merge::merge_group_head(tree_node* target_group, tree_node* group, nested_lists* nested) {
  merge_block(target_group, cache_.first_holding(target_group, KIND_XI, true), first_block_of(group, KIND_XI));
  merge_ds_block(target_group, cache_.first_holding(target_group, KIND_DS, true), first_block_of(group, KIND_DS),
                 nested);
}

void tree_merge::merge_group_tail(tree_node* target_group, tree_node* group) {
  merge_block(target_group, cache_.first_holding(target_group, KIND_DT, false), first_holder_of(group, KIND_DT));
  merge_block(target_group, cache_.first_holding(target_group, KIND_XE, false), first_holder_of(group, KIND_XE));
}

// Status "1" stays; otherwise "2", then "1", from the incoming record win.
static void merge_status(record* target, const record* incoming, uint32_t position) {
  const field mine = target->at(position);
  const field theirs = incoming->at(position);
  if (!mine.is_text() || !theirs.is_text() || mine.text_is("\"1\"")) return;
  if (theirs.text_is("\"2\"") || theirs.text_is("\"1\"")) target->set_at(position, theirs);
}

// A time field holds its time less the owed shift; other fields as read.
uint32_t tree_merge::time_of(const record* r, uint32_t position, int32_t value) const {
  const uint32_t stored = static_cast<uint32_t>(value);
  return facts_of(r->kind()).time_field == position ? owed_time(stored, owed_) : stored;
}

void tree_merge::merge_records(record* target, record* incoming, const merged_end& end) {
  if (!target || !incoming) return;
  if (end.kept == kept_value::status) {
    merge_status(target, incoming, end.field);
  } else {
    const field mine = target->at(end.field);
    const field theirs = incoming->at(end.field);
    if (mine.is_number() && theirs.is_number()) {
      const uint32_t a = time_of(target, end.field, mine.number);
      const uint32_t b = time_of(incoming, end.field, theirs.number);
      if (end.kept == kept_value::smaller ? b < a : b > a) target->set_number(end.field, theirs.number);
    }
  }
  incoming->hand_tail_to(target, end.tail);
}
