#include <vector>

#include "merge/align.h"
#include "merge/fields.h"
#include "merge/merged_report.h"
#include "merge/record_walk.h"
#include "merge/time_shift.h"
#include "report/report_errors.h"

// A new list whose items are the records, in their order.
static objet* collection_of(const std::vector<objet*>& records) {
  objet* head = nullptr;
  for (auto record = records.rbegin(); record != records.rend(); ++record) head = make_list(*record, head);
  return head;
}

// The stamped kind passes most records over without reading their text.
objet* collect_records(objet* tree, uint32_t kind) {
  std::vector<objet*> records;
  auto take = [&records, kind](objet* holder) {
    if (kind_of(holder->item) == kind && is_exactly(holder->item, kind)) records.push_back(holder->item);
    return false;
  };
  walk_records(tree, take);
  return collection_of(records);
}

void free_collection(objet* collection) {
  while (collection) {
    objet* next = collection->next;
    free_cell(collection);
    collection = next;
  }
}

static uint32_t unsigned_at(objet* record, int position, bool* present) {
  objet* cell = long_at(record, position);
  if (!cell) *present = false;
  return cell ? static_cast<uint32_t>(cell->value) : 0;
}

// The tree's clock records; a body that holds none is passed over.
objet* merged_report::merged_clocks(bool exact_keyword) const {
  std::vector<objet*> records;
  auto take = [&records, exact_keyword](objet* record) {
    if (!exact_keyword || is_exactly(record, KIND_SY)) records.push_back(record);
  };
  for (objet* record : first_clocks_) take(record);
  if (body_holds_sy_) {
    auto visit = [&take](objet* holder) {
      if (kind_of(holder->item) == KIND_SY) take(holder->item);
      return false;
    };
    walk_records(body_of(tree_), visit);
  }
  for (objet* record : last_clocks_) take(record);
  return collection_of(records);
}

// A positive difference moves the first tree, a negative one the second.
// The merged tree moves its clocks at once and owes the rest.
void merged_report::shift_apart(objet* positive, objet* negative, int32_t d) {
  if (d == 0) return;
  objet* moved = d > 0 ? positive : negative;
  const uint32_t amount = d > 0 ? static_cast<uint32_t>(d) : 0u - static_cast<uint32_t>(d);
  if (moved != tree_) {
    refuse_out_of_range(first_shifted_out(moved, 0, amount));
    shift_times(moved, amount);
    return;
  }
  // The tree's largest time tells without a walk; the walk only names the
  // record that would leave the range.
  if (!shift_keeps_in_range(largest_, amount)) refuse_out_of_range(first_shifted_out(tree_, owed_, amount));
  objet* clocks = merged_clocks(false);
  for (objet* node = clocks; node; node = node->next) shift_record(node->item, amount);
  free_collection(clocks);
  owed_ += amount;
  if (largest_ != NO_TIME) largest_ += amount;
}

// The report with the coarser tick takes the finer one, and the other's
// label; the tree settles its times first.
void merged_report::align_time_units(objet* report, objet* merged_sy, objet* report_sy) {
  if (!merged_sy || !report_sy) return;
  bool present = true;
  uint32_t a = unsigned_at(merged_sy->item, SY_TICK_LENGTH, &present);
  uint32_t b = unsigned_at(report_sy->item, SY_TICK_LENGTH, &present);
  if (!present || a == 0 || b == 0 || a == b) return;
  objet* coarse = a < b ? report : tree_;
  objet* coarse_sy = a < b ? report_sy : merged_sy;
  objet* label = string_at((a < b ? merged_sy : report_sy)->item, SY_LABEL);
  if (coarse == tree_) settle();
  const uint32_t factor = a < b ? b / a : a / b;
  refuse_out_of_range(first_scaled_out(coarse, factor));
  scale_times(coarse, factor);
  if (coarse == tree_ && largest_ != NO_TIME) largest_ *= factor;
  if (!label) return;
  for (objet* node = coarse_sy; node; node = node->next) {
    if (string_at(node->item, SY_LABEL)) free_objet(replace_field(node->item, SY_LABEL, copy_objet(label)));
  }
}

bool merged_report::align_by_clock(objet* report, objet* merged_sy, objet* report_sy) {
  if (!merged_sy || !report_sy) return false;
  objet* a = merged_sy->item;
  objet* b = report_sy->item;
  bool present = true;
  uint32_t a2 = unsigned_at(a, SY_UNITS, &present), a3 = unsigned_at(a, SY_TICKS, &present);
  uint32_t a4 = unsigned_at(a, SY_TICKS_PER_UNIT, &present);
  uint32_t b2 = unsigned_at(b, SY_UNITS, &present), b3 = unsigned_at(b, SY_TICKS, &present);
  uint32_t b4 = unsigned_at(b, SY_TICKS_PER_UNIT, &present);
  objet* clock = string_at(b, SY_CLOCK);
  if (!present || b4 == 0 || !clock) return false;
  for (objet* node = merged_sy; node; node = node->next) {
    objet* name = string_at(node->item, SY_CLOCK);
    if (!name || !equal_string(name, clock)) return false;
  }
  first_record(tree_);
  first_record(report);
  uint32_t d = (a4 / b4) * (a2 - b2) * b4 + (a3 - b3);
  shift_apart(tree_, report, static_cast<int32_t>(d));
  return true;
}

int32_t match_rendezvous(const std::vector<rd_ref>& merged_rd, const std::vector<rd_ref>& report_rd, uint32_t names,
                         uint32_t* count) {
  // Asked once per report of a run, over every rendezvous merged so far: one
  // pass finds where each of the report's names is last merged, so that a
  // name not merged past the cursor is passed over without a search, and the
  // searches together read the merged list once.
  const size_t none = SIZE_MAX;
  std::vector<int32_t> slot(names, -1);
  std::vector<size_t> last_at;
  for (const rd_ref& record : report_rd) {
    if (slot[record.name] >= 0) continue;
    slot[record.name] = static_cast<int32_t>(last_at.size());
    last_at.push_back(none);
  }
  for (size_t i = 0; i < merged_rd.size(); ++i) {
    if (slot[merged_rd[i].name] >= 0) last_at[slot[merged_rd[i].name]] = i;
  }
  size_t cursor = 0;
  uint32_t sum = 0;
  *count = 0;
  for (const rd_ref& record : report_rd) {
    const size_t last = last_at[slot[record.name]];
    if (last == none || last < cursor) continue;
    size_t at = cursor;
    while (merged_rd[at].name != record.name) ++at;
    bool present = true;
    uint32_t difference = unsigned_at(record.record, RD_MATCHED_TIME, &present) -
                          unsigned_at(merged_rd[at].record, RD_MATCHED_TIME, &present);
    sum += difference;
    ++*count;
    cursor = at + 1;
  }
  return *count ? static_cast<int32_t>(sum) / static_cast<int32_t>(*count) : 0;
}

bool merged_report::align_by_rendezvous(objet* report) {
  rendezvous_names& names = cache_.names();
  std::vector<rd_ref> report_rd;
  names.collect(body_of(report), &report_rd);
  if (report_rd.empty()) return false;
  const std::vector<rd_ref>& merged_rd = cache_.merged_rendezvous(body_of(tree_));
  uint32_t count = 0;
  int32_t offset = match_rendezvous(merged_rd, report_rd, names.count(), &count);
  if (count == 0) return false;
  shift_apart(tree_, report, offset);
  return true;
}

objet* first_record(objet* tree) {
  objet* node = is_list(tree) ? tree->next : nullptr;
  if (!is_list(node)) unexpected_end_of_report();
  while (is_list(node->item)) node = node->item;
  return node;
}

// Only a body that begins with a test item or step has a first time.
static uint32_t first_time(objet* tree) {
  objet* record = first_record(tree);
  objet* time = nullptr;
  if (is_string(record->item) && (kind_of(record) == KIND_XI || kind_of(record) == KIND_DS))
    time = long_at(record, facts_of(kind_of(record)).time_field);
  if (!time) unexpected_end_of_report();
  return static_cast<uint32_t>(time->value);
}

// Tick lengths first, then the time origin: by the clocks when both have
// the same, else by the rendezvous they share, else by their first records,
// the later of which the other moves to.
void merged_report::align(objet* report) {
  if (!tree_) return;
  objet* merged_sy = merged_clocks(true);
  objet* report_sy = collect_records(report, KIND_SY);
  align_time_units(report, merged_sy, report_sy);
  bool aligned = align_by_clock(report, merged_sy, report_sy);
  free_collection(merged_sy);
  free_collection(report_sy);
  if (aligned || align_by_rendezvous(report)) return;
  uint32_t d = first_time(tree_) + owed_ - first_time(report);
  shift_apart(report, tree_, static_cast<int32_t>(d));
}
