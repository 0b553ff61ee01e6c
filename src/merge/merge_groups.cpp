#include "merge/merge_groups.h"

#include <algorithm>
#include <vector>

#include "merge/classify.h"
#include "merge/fields.h"
#include "merge/long_field.h"
#include "merge/merge_records.h"
#include "merge/name_key.h"
#include "merge/rendezvous_marks.h"
#include "merge/time_batch.h"
#include "report/report_errors.h"

// The opening record of the block a group node holds.
static objet* opening_of(objet* holder) { return holder->item->item; }

// A block's last node (its closing record's) and the node before it, found
// in one walk: a merged block grows with every report.
struct block_end {
  objet* before;
  objet* last;
};

// The kept order of a merged block's inner items (between its opening and
// closing records), if the block has one.
static const time_order* kept_order(objet* block, merge_cache* cache) {
  if (!cache || !is_list(block) || !block->next) return nullptr;
  auto known = cache->block_orders.find(block);
  if (known == cache->block_orders.end() || known->second.nodes.empty()) return nullptr;
  return known->second.nodes.front() == block->next ? &known->second : nullptr;
}

static block_end end_of(objet* block, merge_cache* cache) {
  if (const time_order* order = kept_order(block, cache)) {
    objet* before = order->nodes.back();
    return {before, before->next ? before->next : before};
  }
  objet* node = block;
  while (node->next && node->next->next) node = node->next;
  return {node, node->next ? node->next : node};
}

static objet* record_at(objet* node) { return is_record(node->item) ? node->item : nullptr; }

static uint64_t kind_bit(objet* item) { return is_record(item) ? uint64_t{1} << kind_of(item) : 0; }

// Whether a record with the keyword of kind stands at the top level of item,
// as find_record tells; a merged block's kept order answers "no" without
// reading the block.
static bool holds_record(objet* item, uint32_t kind, merge_cache* cache) {
  if (const time_order* order = kept_order(item, cache)) {
    objet* closing = order->nodes.back()->next;
    const uint64_t kinds = order->kinds | kind_bit(item->item) | (closing ? kind_bit(closing->item) : 0);
    if (!(kinds >> kind & 1)) return false;
  }
  return find_record(item, keyword_cells[kind]) != nullptr;
}

// The first node of a group whose item holds such a record (and is a block,
// when asked): first_xi_block, first_ds_block, first_dt_holder and
// first_xe_holder over merged groups.
static objet* first_holding(objet* group, uint32_t kind, bool blocks_only, merge_cache* cache) {
  for (objet* node = group; is_list(node); node = node->next) {
    if ((!blocks_only || is_block(node->item)) && holds_record(node->item, kind, cache)) return node;
  }
  return nullptr;
}

static objet* first_xi(objet* group, merge_cache* cache) { return first_holding(group, KIND_XI, true, cache); }
static objet* first_ds(objet* group, merge_cache* cache) { return first_holding(group, KIND_DS, true, cache); }
static objet* first_dt(objet* group, merge_cache* cache) { return first_holding(group, KIND_DT, false, cache); }
static objet* first_xe(objet* group, merge_cache* cache) { return first_holding(group, KIND_XE, false, cache); }

static objet* ds_record_of(objet* group, merge_cache* cache) {
  objet* holder = first_ds(group, cache);
  return holder ? opening_of(holder) : nullptr;
}

static objet* xi_record_of(objet* group, merge_cache* cache) {
  objet* holder = first_xi(group, cache);
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

// The inner items of incoming, taken from it in reading order.
static std::vector<objet*> take_inner_items(objet* from, objet* closing) {
  std::vector<objet*> items;
  for (objet* node = from; is_list(node) && node != closing; node = node->next) {
    if (node->item) items.push_back(take(node));
  }
  return items;
}

// The inner items of incoming go into block in time order, before its
// closing record.
static void merge_block_items(objet* block, block_end end, objet* incoming, block_end incoming_end,
                              merge_cache* cache) {
  if (!block->next || !incoming->next) return;
  objet* closing = end.before->next;
  end.before->next = nullptr;
  std::vector<objet*> items = take_inner_items(incoming->next, incoming_end.last);
  objet* last = nullptr;
  time_order* order = cache ? &cache->block_orders[block] : nullptr;
  block->next = insert_all_by_time(block->next, items, &last, order);
  (last ? last : block)->next = closing;
}

// Inner elements that no group merge takes stay, after the block's own.
static void keep_inner_left_overs(objet* block, block_end end, objet* from, block_end incoming_end,
                                  merge_cache* cache) {
  if (cache) cache->block_orders.erase(block);
  std::vector<objet*> items = take_inner_items(from, incoming_end.last);
  objet* node = end.before;
  for (objet* item : items) {
    put_after(node, item);
    node = node->next;
  }
}

// Where the report-number tails of a block's two end records start, and how
// their time (or status) fields merge.
struct block_end_rules {
  int opening_tail, opening_field;
  field_rule opening_rule;
  int closing_tail, closing_field;
  field_rule closing_rule;
};
static const block_end_rules ITEM_BLOCK_ENDS = {OPENING_TAIL, 1, KEEP_SMALLER, CLOSING_TAIL, 1, KEEP_LARGER};
static const block_end_rules DS_BLOCK_ENDS = {DS_TAIL, 5, KEEP_SMALLER, FS_TAIL, 3, FS_STATUS};

static void merge_block_ends(objet* block, block_end end, objet* incoming, block_end incoming_end,
                             const block_end_rules& rules, merge_cache* cache) {
  merge_records(block->item, incoming->item, rules.opening_tail, rules.opening_field, rules.opening_rule, cache);
  objet* closing = record_at(end.last);
  objet* incoming_closing = record_at(incoming_end.last);
  if (closing && incoming_closing)
    merge_records(closing, incoming_closing, rules.closing_tail, rules.closing_field, rules.closing_rule, cache);
}

static void merge_block(objet* target_group, objet* target_holder, objet* incoming_holder, merge_cache* cache) {
  if (!incoming_holder) return;
  if (!target_holder) {
    objet* record = opening_of(incoming_holder);
    uint32_t kind = is_record(record) ? kind_of(record) : KEYWORD_COUNT;
    objet* anchor = nullptr;
    if (kind == KIND_XI) {
      put_first(target_group, take(incoming_holder));
      return;
    }
    if (kind == KIND_DT) anchor = first_ds(target_group, cache);
    if (kind == KIND_XE) {
      anchor = first_dt(target_group, cache);
      if (!anchor) anchor = first_ds(target_group, cache);
    }
    if (!anchor) unexpected_end_of_report();
    put_after(anchor, take(incoming_holder));
    return;
  }
  objet* block = target_holder->item;
  objet* incoming = incoming_holder->item;
  join_rd_marks(block, incoming);
  const block_end end = end_of(block, cache);
  const block_end incoming_end = end_of(incoming, nullptr);
  merge_block_ends(block, end, incoming, incoming_end, ITEM_BLOCK_ENDS, cache);
  merge_block_items(block, end, incoming, incoming_end, cache);
}

// Two group lists inside merged DS blocks, whose merge waits until the DS
// block's own merge is done.
struct nested_lists {
  objet* target = nullptr;
  objet* incoming = nullptr;
};

// The inner group lists, when both blocks hold them, are left in *nested;
// merging them touches nothing that the rest of this merge does.
static void merge_ds_block(objet* target_group, objet* target_holder, objet* incoming_holder, merge_cache* cache,
                           nested_lists* nested) {
  if (!incoming_holder) return;
  if (!target_holder) {
    objet* anchor = first_xi(target_group, cache);
    if (!anchor) unexpected_end_of_report();
    put_after(anchor, take(incoming_holder));
    return;
  }
  objet* block = target_holder->item;
  objet* incoming = incoming_holder->item;
  join_rd_marks(block, incoming);
  const block_end end = end_of(block, cache);
  const block_end incoming_end = end_of(incoming, nullptr);
  merge_block_ends(block, end, incoming, incoming_end, DS_BLOCK_ENDS, cache);
  objet* inner = incoming->next;
  if (!inner || !all_open_groups(inner->item)) {
    merge_block_items(block, end, incoming, incoming_end, cache);
    return;
  }
  // Merging inner groups leaves the block's own chain as it is.
  objet* own_inner = block->next;
  if (own_inner && all_open_groups(own_inner->item)) {
    *nested = {own_inner->item, inner->item};
    keep_inner_left_overs(block, end, inner->next, incoming_end, cache);
  } else {
    keep_inner_left_overs(block, end, inner, incoming_end, cache);
  }
}

// A group merges in two steps around the merge of its DS block's inner
// lists: XI and DS blocks first, then DT and XE.
static void merge_group_head(objet* target_group, objet* group, merge_cache* cache, nested_lists* nested) {
  merge_block(target_group, first_xi(target_group, cache), first_xi(group, nullptr), cache);
  merge_ds_block(target_group, first_ds(target_group, cache), first_ds(group, nullptr), cache, nested);
}

static void merge_group_tail(objet* target_group, objet* group, merge_cache* cache) {
  merge_block(target_group, first_dt(target_group, cache), first_dt(group, nullptr), cache);
  merge_block(target_group, first_xe(target_group, cache), first_xe(group, nullptr), cache);
}

void merge_group_into(objet* target_group, objet* group, merge_cache* cache) {
  nested_lists nested;
  merge_group_head(target_group, group, cache, &nested);
  if (nested.target) merge_groups(nested.target, nested.incoming, cache);
  merge_group_tail(target_group, group, cache);
}

// Fields 1 and 4 of a DS record, the name groups are matched by.
static bool ds_name_of(objet* ds, std::pair<name_key, name_key>* name) {
  objet* a = string_at(ds, 1);
  objet* b = string_at(ds, 4);
  if (!a || !b) return false;
  *name = {key_of(a), key_of(b)};
  return true;
}

static void describe(group_index* index, target_entry* entry) {
  if (entry->listed == target_entry::NAMED) {
    auto same = index->by_name.find(entry->name);
    same->second.erase(entry);
    if (same->second.empty()) index->by_name.erase(same);
  } else if (entry->listed == target_entry::WITHOUT_DS) {
    index->without_ds.erase(entry);
  }
  entry->ds = ds_record_of(entry->group, index->cache);
  entry->xi = xi_record_of(entry->group, index->cache);
  objet* start = entry->ds ? long_at(entry->ds, 7) : nullptr;
  entry->start = start ? int64_t{static_cast<uint32_t>(start->value)} : -1;
  entry->listed = target_entry::UNLISTED;
  if (!entry->ds) {
    entry->listed = target_entry::WITHOUT_DS;
    index->without_ds.insert(entry);
  } else if (ds_name_of(entry->ds, &entry->name)) {
    entry->listed = target_entry::NAMED;
    index->by_name[entry->name].insert(entry);
  }
  index->running_max.clear();
}

static target_entry* add_entry(group_index* index, size_t rank, objet* group, objet* node) {
  auto entry = std::make_unique<target_entry>();
  entry->group = group;
  entry->node = node;
  entry->listed = target_entry::UNLISTED;
  target_entry* added = entry.get();
  index->entries.insert(index->entries.begin() + static_cast<std::ptrdiff_t>(rank), std::move(entry));
  for (size_t i = rank; i < index->entries.size(); ++i) index->entries[i]->rank = i;
  describe(index, added);
  return added;
}

static void index_targets(group_index* index, objet* target, merge_cache* cache) {
  *index = group_index{};
  index->cache = cache;
  index->target = target;
  for (objet* node = target; is_list(node); node = node->next) {
    index->tail = node;
    if (node->item) add_entry(index, index->entries.size(), node->item, node);
  }
}

static void append_group(group_index* index, objet* incoming_node) {
  objet* node = list1(take(incoming_node));
  index->tail->next = node;
  index->tail = node;
  add_entry(index, index->entries.size(), node->item, node);
}

// A group without DS block goes into the first target group that does not
// hold its report yet; none when it has no XI block or every group holds it.
static target_entry* match_by_report(group_index* index, objet* group) {
  objet* xi = xi_record_of(group, nullptr);
  if (!xi) return nullptr;
  objet* report_number = field_at(xi, OPENING_TAIL);
  for (const auto& entry : index->entries) {
    objet* record = entry->xi;
    int start = OPENING_TAIL;
    if (!record) {
      record = entry->ds;
      start = DS_TAIL;
    }
    if (!record) internal_report_error();
    if (!holds_report(record, start, report_number)) return entry.get();
  }
  return nullptr;
}

// A group with a DS block goes into the first target group of the same DS
// name, or the first one without DS block that lacks the group's report.
static target_entry* match_by_name(group_index* index, objet* group) {
  objet* ds = ds_record_of(group, nullptr);
  objet* report_number = field_at(ds, DS_TAIL);
  target_entry* found = nullptr;
  std::pair<name_key, name_key> name;
  if (ds_name_of(ds, &name)) {
    auto same = index->by_name.find(name);
    if (same != index->by_name.end()) found = *same->second.begin();
  }
  for (target_entry* entry : index->without_ds) {
    if (found && entry->rank > found->rank) break;
    if (!entry->xi || !holds_report(entry->xi, OPENING_TAIL, report_number)) return entry;
  }
  return found;
}

// Inserted before the first target group whose DS field 7 is greater
// (unsigned; groups without it are passed over); the list head stays the same
// node. That group is the first whose running maximum exceeds the key.
static void insert_group_in_order(group_index* index, objet* incoming_node) {
  objet* start = long_at(ds_record_of(incoming_node->item, nullptr), 7);
  int64_t key = start ? int64_t{static_cast<uint32_t>(start->value)} : 0;
  if (index->running_max.empty()) {
    int64_t highest = -1;
    for (const auto& entry : index->entries) {
      highest = std::max(highest, entry->start);
      index->running_max.push_back(highest);
    }
  }
  size_t rank = static_cast<size_t>(
      std::upper_bound(index->running_max.begin(), index->running_max.end(), key) -
      index->running_max.begin());
  if (rank == index->entries.size()) {
    append_group(index, incoming_node);
    return;
  }
  target_entry* later = index->entries[rank].get();
  objet* before = rank ? index->entries[rank - 1]->node : nullptr;
  for (objet* node = before ? before->next : index->target; node != later->node; node = node->next)
    before = node;
  objet* group = take(incoming_node);
  if (before) {
    put_after(before, group);
    add_entry(index, rank, group, before->next);
    return;
  }
  put_first(index->target, group);
  later->node = index->target->next;
  if (index->tail == index->target) index->tail = later->node;
  add_entry(index, rank, group, index->target);
}

// The target group an incoming group merges into; none when the group took
// a place of its own in the list (appended, or inserted by its DS start).
static target_entry* match_group(group_index* index, objet* incoming_node) {
  objet* group = incoming_node->item;
  if (!first_ds(group, nullptr)) {
    target_entry* entry = match_by_report(index, group);
    if (!entry) append_group(index, incoming_node);
    return entry;
  }
  target_entry* entry = match_by_name(index, group);
  if (!entry) insert_group_in_order(index, incoming_node);
  return entry;
}

namespace {
// One group list being merged. A group whose DS block holds inner group
// lists waits, half merged, while they are merged above it on the stack:
// the merge takes a stack of its own, not a call per nesting level, and
// still works in the order of nested calls.
struct list_merge {
  group_index* index;
  std::unique_ptr<group_index> own_index;  // the index, without a cache
  objet* node;                             // the incoming node at hand
  target_entry* waiting;                   // its target while its group waits
};
}  // namespace

static void open_list(std::vector<list_merge>* stack, objet* target, objet* incoming, merge_cache* cache) {
  list_merge level{nullptr, nullptr, incoming, nullptr};
  if (cache) {
    level.index = &cache->group_indexes[target];
  } else {
    level.own_index = std::make_unique<group_index>();
    level.index = level.own_index.get();
  }
  group_index* index = level.index;
  if (index->target != target || !index->tail || index->tail->next) index_targets(index, target, cache);
  stack->push_back(std::move(level));
}

void merge_groups(objet* target, objet* incoming, merge_cache* cache) {
  std::vector<list_merge> stack;
  open_list(&stack, target, incoming, cache);
  while (!stack.empty()) {
    list_merge& level = stack.back();
    objet* node = level.node;
    if (level.waiting) {
      merge_group_tail(level.waiting->group, node->item, cache);
      describe(level.index, level.waiting);
      level.waiting = nullptr;
      level.node = node->next;
      continue;
    }
    if (!is_list(node)) {
      stack.pop_back();
      continue;
    }
    target_entry* entry = node->item ? match_group(level.index, node) : nullptr;
    if (!entry) {
      level.node = node->next;
      continue;
    }
    nested_lists nested;
    merge_group_head(entry->group, node->item, cache, &nested);
    level.waiting = entry;
    if (nested.target) open_list(&stack, nested.target, nested.incoming, cache);
  }
}
