#include <vector>

#include "merge/align.h"
#include "merge/merged_report.h"
#include "merge/time_shift.h"
#include "report/record_walk.h"
#include "report/report_errors.h"
#include "report/shapes.h"

static uint32_t unsigned_at(const record* r, uint32_t position, bool* present) {
  const field value = r->at(position);
  if (!value.is_number()) *present = false;
  return value.is_number() ? static_cast<uint32_t>(value.number) : 0;
}

// The tree's clock records; a body that holds none is passed over.
std::vector<record*> merged_report::merged_clocks(bool exact_keyword) const {
  std::vector<record*> records;
  auto take = [&records, exact_keyword](record* r) {
    if (!exact_keyword || is_exactly(*r, KIND_SY)) records.push_back(r);
  };
  for (record* r : first_clocks_) take(r);
  if (body_holds_sy_) {
    auto visit = [&take](objet* holder) {
      if (holder->item.rec()->kind() == KIND_SY) take(holder->item.rec());
      return false;
    };
    walk_records(body_of(tree_), visit);
  }
  for (record* r : last_clocks_) take(r);
  return records;
}

// A positive difference moves the first tree, a negative one the second.
// The merged tree moves its clocks at once and owes the rest.
void merged_report::shift_apart(objet* positive, objet* negative, int32_t d) {
  if (d == 0) return;
  objet* moved = d > 0 ? positive : negative;
  const uint32_t amount = d > 0 ? static_cast<uint32_t>(d) : 0u - static_cast<uint32_t>(d);
  if (moved != tree_) {
    incoming_shift_ = amount;
    return;
  }
  // The tree's largest time tells without a walk; the walk only names the
  // record that would leave the range.
  if (!shift_keeps_in_range(largest_, amount)) refuse_out_of_range(tree_, first_shifted_out(tree_, owed_, amount));
  for (record* clock : merged_clocks(false)) shift_record(clock, amount);
  owed_ += amount;
  if (largest_ != NO_TIME) largest_ += amount;
}

// The report with the coarser tick takes the finer one, and the other's
// label; the tree settles its times first.
void merged_report::align_time_units(objet* report, const std::vector<record*>& merged_sy,
                                     const std::vector<record*>& report_sy) {
  if (merged_sy.empty() || report_sy.empty()) return;
  bool present = true;
  uint32_t a = unsigned_at(merged_sy.front(), SY_TICK_LENGTH, &present);
  uint32_t b = unsigned_at(report_sy.front(), SY_TICK_LENGTH, &present);
  if (!present || a == 0 || b == 0 || a == b) return;
  objet* coarse = a < b ? report : tree_;
  const std::vector<record*>& coarse_sy = a < b ? report_sy : merged_sy;
  const field label = (a < b ? merged_sy : report_sy).front()->at(SY_LABEL);
  if (coarse == tree_) settle();
  const uint32_t factor = a < b ? b / a : a / b;
  refuse_out_of_range(coarse, scale_times(coarse, factor));
  if (coarse == tree_ && largest_ != NO_TIME) largest_ *= factor;
  if (!label.is_text()) return;
  for (record* clock : coarse_sy) {
    if (clock->at(SY_LABEL).is_text()) clock->set_at(SY_LABEL, label);
  }
}

bool merged_report::align_by_clock(objet* report, const std::vector<record*>& merged_sy,
                                   const std::vector<record*>& report_sy) {
  if (merged_sy.empty() || report_sy.empty()) return false;
  const record* a = merged_sy.front();
  const record* b = report_sy.front();
  bool present = true;
  uint32_t a2 = unsigned_at(a, SY_UNITS, &present), a3 = unsigned_at(a, SY_TICKS, &present);
  uint32_t a4 = unsigned_at(a, SY_TICKS_PER_UNIT, &present);
  uint32_t b2 = unsigned_at(b, SY_UNITS, &present), b3 = unsigned_at(b, SY_TICKS, &present);
  uint32_t b4 = unsigned_at(b, SY_TICKS_PER_UNIT, &present);
  const field clock = b->at(SY_CLOCK);
  if (!present || b4 == 0 || !clock.is_text()) return false;
  for (const record* merged : merged_sy) {
    if (!merged->at(SY_CLOCK).text_is(clock.text)) return false;
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
    uint32_t difference = unsigned_at(record.rd, RD_MATCHED_TIME, &present) -
                          unsigned_at(merged_rd[at].rd, RD_MATCHED_TIME, &present);
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
  objet* node = tree ? tree->next : nullptr;
  if (!node) unexpected_end_of_report();
  while (objet* list = node->item.list()) node = list;
  return node;
}

// Only a body that begins with a test item or step has a first time.
static uint32_t first_time(objet* tree) {
  const record* r = first_record(tree)->item.rec();
  field time;
  if (r && (r->kind() == KIND_XI || r->kind() == KIND_DS)) time = r->at(facts_of(r->kind()).time_field);
  if (!time.is_number()) unexpected_end_of_report();
  return static_cast<uint32_t>(time.number);
}

// Tick lengths first, then the time origin: by the clocks when both have
// the same, else by the rendezvous they share, else by their first records,
// the later of which the other moves to.
void merged_report::align(objet* report, const std::vector<record*>& report_sy) {
  if (!tree_) return;
  const std::vector<record*> merged_sy = merged_clocks(true);
  align_time_units(report, merged_sy, report_sy);
  const bool aligned = align_by_clock(report, merged_sy, report_sy);
  if (aligned || align_by_rendezvous(report)) return;
  uint32_t d = first_time(tree_) + owed_ - first_time(report);
  shift_apart(report, tree_, static_cast<int32_t>(d));
}
