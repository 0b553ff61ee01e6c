// The matching of incoming groups with the groups merged before: by report
// for groups without DS block, by DS name otherwise, else by start time.

#include <algorithm>
#include <memory>
#include <vector>

#include "merge/tree_edits.h"
#include "merge/tree_merge.h"
#include "report/report_errors.h"
#include "report/shapes.h"

// Where the report-number tails of test items and steps begin.
static const uint32_t ITEM_TAIL = facts_of(KIND_XI).merged.tail;
static const uint32_t STEP_TAIL = facts_of(KIND_DS).merged.tail;

// The opening record of the block a group node holds, if any.
static record* opening_of(objet* holder) { return holder ? opening_record(holder->item) : nullptr; }

static bool ds_name_of(const record* ds, ds_name* name) {
  const field a = ds->at(DS_NAME);
  const field b = ds->at(DS_ITEM);
  if (!a.is_text() || !b.is_text()) return false;
  *name = {a.text, b.text};
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
  entry->ds = opening_of(index->cache->first_holding(entry->group, KIND_DS, true));
  entry->xi = opening_of(index->cache->first_holding(entry->group, KIND_XI, true));
  const field start = entry->ds ? entry->ds->at(DS_START) : field{};
  const int64_t was = entry->start;
  entry->start = start.is_number() ? int64_t{static_cast<uint32_t>(start.number)} : -1;
  if (entry->start != was) index->running_max.clear();
  entry->listed = target_entry::UNLISTED;
  if (!entry->ds) {
    entry->listed = target_entry::WITHOUT_DS;
    index->without_ds.insert(entry);
  } else if (ds_name_of(entry->ds, &entry->name)) {
    entry->listed = target_entry::NAMED;
    index->by_name[entry->name].insert(entry);
  }
}

// Whether the group holds the report number: in the tail of its XI record,
// or of its DS record when it has no XI block.
static bool holds(target_entry* entry, int32_t number) {
  if (entry->xi) return entry->numbers.holds(entry->xi, ITEM_TAIL, number);
  return entry->ds && entry->numbers.holds(entry->ds, STEP_TAIL, number);
}

static bool xi_holds(target_entry* entry, int32_t number) {
  return entry->xi && entry->numbers.holds(entry->xi, ITEM_TAIL, number);
}

// A group that joined the list at its rank: the cursors keep counting the
// groups before them, and go back to it when it lacks their number.
static void note_added(group_index* index, target_entry* entry) {
  report_cursor& lacking = index->lacking;
  if (lacking.set && entry->rank <= lacking.rank)
    lacking.rank = holds(entry, lacking.value) ? lacking.rank + 1 : entry->rank;
  report_cursor& without_ds = index->lacking_without_ds;
  if (without_ds.set && entry->rank <= without_ds.rank)
    without_ds.rank = entry->listed == target_entry::WITHOUT_DS && !xi_holds(entry, without_ds.value)
                          ? entry->rank
                          : without_ds.rank + 1;
}

// A merged group whose XI block came with the merge may lack what its DS
// record held.
static void note_merged(group_index* index, target_entry* entry) {
  report_cursor& lacking = index->lacking;
  if (lacking.set && entry->rank < lacking.rank && !holds(entry, lacking.value)) lacking.rank = entry->rank;
}

// The cursor for this number; from the first group when it was another's.
static report_cursor& cursor_for(report_cursor& cursor, int32_t number) {
  if (!cursor.set || cursor.value != number) cursor = {true, number, 0};
  return cursor;
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
  note_added(index, added);
  std::vector<int64_t>& running_max = index->running_max;
  if (rank + 1 < index->entries.size()) {
    running_max.clear();
  } else if (!running_max.empty() || rank == 0) {
    running_max.push_back(std::max(running_max.empty() ? int64_t{-1} : running_max.back(), added->start));
  }
  return added;
}

static void index_targets(group_index* index, objet* target, merge_cache* cache) {
  *index = group_index{};
  index->cache = cache;
  index->target = target;
  for (objet* node = target; node; node = node->next) {
    index->tail = node;
    if (node->item) add_entry(index, index->entries.size(), node->item.list(), node);
  }
}

static void append_group(group_index* index, objet* incoming_node) {
  objet* node = list1(take(incoming_node));
  index->tail->next = node;
  index->tail = node;
  add_entry(index, index->entries.size(), node->item.list(), node);
}

// A group without DS block goes into the first target group that does not
// hold its report yet; none when it has no XI block or every group holds it.
// A number that is none is held by no group.
static target_entry* match_by_report(group_index* index, objet* group) {
  record* xi = opening_of(first_block_of(group, KIND_XI));
  if (!xi) return nullptr;
  const field report_number = xi->at(ITEM_TAIL);
  const bool numbered = report_number.is_numeric();
  report_cursor* cursor = numbered ? &cursor_for(index->lacking, report_number.number) : nullptr;
  for (size_t rank = cursor ? cursor->rank : 0; rank < index->entries.size(); ++rank) {
    target_entry* entry = index->entries[rank].get();
    if (!entry->xi && !entry->ds) internal_report_error();
    if (!numbered || !holds(entry, report_number.number)) return entry;
    cursor->rank = rank + 1;
  }
  return nullptr;
}

// A group with a DS block goes into the first target group of the same DS
// name, or the first one without DS block that lacks the group's report.
static target_entry* match_by_name(group_index* index, objet* group) {
  record* ds = opening_of(first_block_of(group, KIND_DS));
  const field report_number = ds->at(STEP_TAIL);
  target_entry* found = nullptr;
  ds_name name;
  if (ds_name_of(ds, &name)) {
    auto same = index->by_name.find(name);
    if (same != index->by_name.end()) found = *same->second.begin();
  }
  const bool numbered = report_number.is_numeric();
  auto next = index->without_ds.begin();
  report_cursor* cursor = nullptr;
  if (numbered) {
    cursor = &cursor_for(index->lacking_without_ds, report_number.number);
    target_entry probe{};
    probe.rank = cursor->rank;
    next = index->without_ds.lower_bound(&probe);
  }
  for (; next != index->without_ds.end(); ++next) {
    target_entry* entry = *next;
    if (found && entry->rank > found->rank) break;
    if (!numbered || !xi_holds(entry, report_number.number)) return entry;
    cursor->rank = entry->rank + 1;
  }
  return found;
}

// Inserted before the first target group whose DS field 7 is greater
// (unsigned; groups without it are passed over); the list head stays the same
// node. That group is the first whose running maximum exceeds the key.
static void insert_group_in_order(group_index* index, objet* incoming_node) {
  const field start = opening_of(first_block_of(incoming_node->item, KIND_DS))->at(DS_START);
  const int64_t key = start.is_number() ? int64_t{static_cast<uint32_t>(start.number)} : 0;
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
  objet* group = take(incoming_node).list();
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
  objet* group = incoming_node->item.list();
  if (!first_block_of(group, KIND_DS)) {
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
  objet* node;             // the incoming node at hand
  target_entry* waiting;   // its target while its group waits
};
}  // namespace

static list_merge open_list(merge_cache& cache, objet* target, objet* incoming) {
  group_index* index = &cache.index_of(target);
  if (!index->tail) index_targets(index, target, &cache);
  return {index, incoming, nullptr};
}

void tree_merge::merge_groups(objet* target, objet* incoming) {
  std::vector<list_merge> stack{open_list(cache_, target, incoming)};
  while (!stack.empty()) {
    list_merge& level = stack.back();
    objet* node = level.node;
    if (level.waiting) {
      merge_group_tail(level.waiting->group, node->item.list());
      describe(level.index, level.waiting);
      note_merged(level.index, level.waiting);
      level.waiting = nullptr;
      level.node = node->next;
      continue;
    }
    if (!node) {
      stack.pop_back();
      continue;
    }
    target_entry* entry = node->item ? match_group(level.index, node) : nullptr;
    if (!entry) {
      level.node = node->next;
      continue;
    }
    nested_lists nested;
    merge_group_head(entry->group, node->item.list(), &nested);
    level.waiting = entry;
    if (nested.target) stack.push_back(open_list(cache_, nested.target, nested.incoming));
  }
}
