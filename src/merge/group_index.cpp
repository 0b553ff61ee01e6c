#include "merge/group_index.h"

#include <algorithm>

#include "merge/merge_cache.h"
#include "merge/tree_edits.h"
#include "report/report_errors.h"
#include "report/shapes.h"

// The records read here open the blocks that hold a group's XI or DS record,
// which a malformed report may open with a record of another kind: their
// fields are read by position, as the matching always read them.

static bool ds_name_of(const record* ds, ds_name* name) {
  const field a = ds->at(DS_NAME.position);
  const field b = ds->at(DS_ITEM.position);
  if (!a.is_text() || !b.is_text()) return false;
  *name = {a.text, b.text};
  return true;
}

void group_index::refile(target_entry* entry, const merge_cache& blocks) {
  record* const ds = opening_of(blocks.first_holding(entry->group, KIND_DS, true));
  entry->xi = opening_of(blocks.first_holding(entry->group, KIND_XI, true));
  const field start = ds ? ds->at(DS_START.position) : field{};
  const int64_t was = entry->start;
  entry->start = start.is_number() ? int64_t{static_cast<uint32_t>(start.number)} : -1;
  if (entry->start != was) running_max_.clear();
  // A group filed with the DS record it still has keeps its name (the
  // record's own text) and its rank: it stays where it is filed.
  if (ds == entry->ds && (ds || entry->listed == target_entry::WITHOUT_DS)) return;
  if (entry->listed == target_entry::NAMED) {
    by_name_.erase(entry);
  } else if (entry->listed == target_entry::WITHOUT_DS) {
    without_ds_.erase(entry);
  }
  entry->ds = ds;
  entry->listed = target_entry::UNLISTED;
  if (!entry->ds) {
    entry->listed = target_entry::WITHOUT_DS;
    without_ds_.insert(entry);
  } else if (ds_name_of(entry->ds, &entry->name)) {
    entry->listed = target_entry::NAMED;
    by_name_.insert(entry);
  }
}

// Whether the group holds the report number: in the tail of its XI record,
// or of its DS record when it has no XI block.
static bool holds(target_entry* entry, int32_t number) {
  if (entry->xi) return entry->numbers.holds(entry->xi, XI_TAIL.position, number);
  return entry->ds && entry->numbers.holds(entry->ds, DS_TAIL.position, number);
}

static bool xi_holds(target_entry* entry, int32_t number) {
  return entry->xi && entry->numbers.holds(entry->xi, XI_TAIL.position, number);
}

// A group that joined the list at its rank: the cursors keep counting the
// groups before them, and go back to it when it lacks their number.
void group_index::note_added(target_entry* entry) {
  report_cursor& lacking = lacking_;
  if (lacking.set && entry->rank <= lacking.rank)
    lacking.rank = holds(entry, lacking.value) ? lacking.rank + 1 : entry->rank;
  report_cursor& without_ds = lacking_without_ds_;
  if (without_ds.set && entry->rank <= without_ds.rank)
    without_ds.rank = entry->listed == target_entry::WITHOUT_DS && !xi_holds(entry, without_ds.value)
                          ? entry->rank
                          : without_ds.rank + 1;
}

// A merged group whose XI block came with the merge may lack what its DS
// record held: the cursor goes back to it.
void group_index::merged(target_entry* entry, const merge_cache& blocks) {
  refile(entry, blocks);
  report_cursor& lacking = lacking_;
  if (lacking.set && entry->rank < lacking.rank && !holds(entry, lacking.value)) lacking.rank = entry->rank;
}

// The cursor for this number; from the first group when it was another's.
group_index::report_cursor& group_index::cursor_for(report_cursor& cursor, int32_t number) {
  if (!cursor.set || cursor.value != number) cursor = {true, number, 0};
  return cursor;
}

target_entry* group_index::add_entry(size_t rank, tree_node* group, tree_node* node, const merge_cache& blocks) {
  auto entry = std::make_unique<target_entry>();
  entry->group = group;
  entry->node = node;
  entry->listed = target_entry::UNLISTED;
  target_entry* added = entry.get();
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(rank), std::move(entry));
  for (size_t i = rank; i < entries_.size(); ++i) entries_[i]->rank = i;
  refile(added, blocks);
  note_added(added);
  std::vector<int64_t>& running_max = running_max_;
  if (rank + 1 < entries_.size()) {
    running_max.clear();
  } else if (!running_max.empty() || rank == 0) {
    running_max.push_back(std::max(running_max.empty() ? int64_t{-1} : running_max.back(), added->start));
  }
  return added;
}

void group_index::open(tree_node* target, const merge_cache& blocks) {
  *this = group_index{};
  target_ = target;
  for (tree_node* node = target; node; node = node->next) {
    tail_ = node;
    if (node->item) add_entry(entries_.size(), node->item.list(), node, blocks);
  }
}

void group_index::append_group(tree_node* incoming_node, const merge_cache& blocks) {
  tree_node* node = list1(take(incoming_node));
  tail_->next = node;
  tail_ = node;
  add_entry(entries_.size(), node->item.list(), node, blocks);
}

// A group without DS block goes into the first target group that does not
// hold its report yet; none when it has no XI block or every group holds it.
// A number that is none is held by no group.
target_entry* group_index::match_by_report(tree_node* group) {
  record* xi = opening_of(first_block_of(group, KIND_XI));
  if (!xi) return nullptr;
  const field report_number = xi->at(XI_TAIL.position);
  const bool numbered = report_number.is_numeric();
  report_cursor* cursor = numbered ? &cursor_for(lacking_, report_number.number) : nullptr;
  for (size_t rank = cursor ? cursor->rank : 0; rank < entries_.size(); ++rank) {
    target_entry* entry = entries_[rank].get();
    if (!entry->xi && !entry->ds) internal_report_error();
    if (!numbered || !holds(entry, report_number.number)) return entry;
    cursor->rank = rank + 1;
  }
  return nullptr;
}

// A group with a DS block goes into the first target group of the same DS
// name, or the first one without DS block that lacks the group's report.
target_entry* group_index::match_by_name(tree_node* group) {
  record* ds = opening_of(first_block_of(group, KIND_DS));
  const field report_number = ds->at(DS_TAIL.position);
  target_entry* found = nullptr;
  ds_name name;
  if (ds_name_of(ds, &name)) {
    target_entry first_of_name{};
    first_of_name.name = name;
    first_of_name.rank = 0;
    auto same = by_name_.lower_bound(&first_of_name);
    if (same != by_name_.end() && (*same)->name == name) found = *same;
  }
  const bool numbered = report_number.is_numeric();
  auto next = without_ds_.begin();
  report_cursor* cursor = nullptr;
  if (numbered) {
    cursor = &cursor_for(lacking_without_ds_, report_number.number);
    target_entry probe{};
    probe.rank = cursor->rank;
    next = without_ds_.lower_bound(&probe);
  }
  for (; next != without_ds_.end(); ++next) {
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
void group_index::insert_group_in_order(tree_node* incoming_node, const merge_cache& blocks) {
  const field start = opening_of(first_block_of(incoming_node->item, KIND_DS))->at(DS_START.position);
  const int64_t key = start.is_number() ? int64_t{static_cast<uint32_t>(start.number)} : 0;
  if (running_max_.empty()) {
    int64_t highest = -1;
    for (const auto& entry : entries_) {
      highest = std::max(highest, entry->start);
      running_max_.push_back(highest);
    }
  }
  size_t rank = static_cast<size_t>(
      std::upper_bound(running_max_.begin(), running_max_.end(), key) -
      running_max_.begin());
  if (rank == entries_.size()) {
    append_group(incoming_node, blocks);
    return;
  }
  target_entry* later = entries_[rank].get();
  tree_node* before = rank ? entries_[rank - 1]->node : nullptr;
  for (tree_node* node = before ? before->next : target_; node != later->node; node = node->next)
    before = node;
  tree_node* group = take(incoming_node).list();
  if (before) {
    put_after(before, group);
    add_entry(rank, group, before->next, blocks);
    return;
  }
  put_first(target_, group);
  later->node = target_->next;
  if (tail_ == target_) tail_ = later->node;
  add_entry(rank, group, target_, blocks);
}

// The target group an incoming group merges into; none when the group took
// a place of its own in the list (appended, or inserted by its DS start).
target_entry* group_index::match(tree_node* incoming_node, const merge_cache& blocks) {
  tree_node* group = incoming_node->item.list();
  if (!first_block_of(group, KIND_DS)) {
    target_entry* entry = match_by_report(group);
    if (!entry) append_group(incoming_node, blocks);
    return entry;
  }
  target_entry* entry = match_by_name(group);
  if (!entry) insert_group_in_order(incoming_node, blocks);
  return entry;
}

