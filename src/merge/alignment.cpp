#include <algorithm>
#include <vector>

#include "merge/alignment.h"
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
std::vector<record*> alignment::merged_clocks(objet* tree, bool exact_keyword) const {
  std::vector<record*> records;
  auto take = [&records, exact_keyword](record* r) {
    if (!exact_keyword || is_exactly(*r, KIND_SY)) records.push_back(r);
  };
  for (record* r : first_clocks_) take(r);
  if (body_has_clock_) {
    auto visit = [&take](objet* holder) {
      if (holder->item.rec()->kind() == KIND_SY) take(holder->item.rec());
      return false;
    };
    walk_records(body_of(tree), visit);
  }
  for (record* r : last_clocks_) take(r);
  return records;
}

// A positive difference moves the first tree later, a negative one the
// second. The merged tree moves its clocks at once and owes the rest; the
// report's move waits for move_onto_base.
void alignment::shift_apart(objet* tree, objet* positive, objet* negative, int32_t d) {
  if (d == 0) return;
  objet* moved = d > 0 ? positive : negative;
  const uint32_t amount = d > 0 ? static_cast<uint32_t>(d) : 0u - static_cast<uint32_t>(d);
  if (moved != tree) {
    report_shift_ = amount;
    return;
  }
  // The tree's largest time tells without a walk; the walk only names the
  // record that would leave the range.
  if (!shift_keeps_in_range(largest_, amount)) refuse_out_of_range(tree, first_shifted_out(tree, owed_, amount));
  for (record* clock : merged_clocks(tree, false)) shift_record(clock, amount);
  owed_ += amount;
  if (largest_ != NO_TIME) largest_ += amount;
}

// The report with the coarser tick takes the finer one, and the other's
// label; the tree settles its times first.
void alignment::align_time_units(objet* tree, merge_cache* cache, objet* report,
                                 const std::vector<record*>& merged_sy, const std::vector<record*>& report_sy) {
  if (merged_sy.empty() || report_sy.empty()) return;
  bool present = true;
  uint32_t a = unsigned_at(merged_sy.front(), SY_TICK_LENGTH, &present);
  uint32_t b = unsigned_at(report_sy.front(), SY_TICK_LENGTH, &present);
  if (!present || a == 0 || b == 0 || a == b) return;
  objet* coarse = a < b ? report : tree;
  const std::vector<record*>& coarse_sy = a < b ? report_sy : merged_sy;
  const field label = (a < b ? merged_sy : report_sy).front()->at(SY_LABEL);
  if (coarse == tree) {
    settle(tree);
    *cache = merge_cache{};
  }
  const uint32_t factor = a < b ? b / a : a / b;
  refuse_out_of_range(coarse, scale_times(coarse, factor));
  if (coarse == tree && largest_ != NO_TIME) largest_ *= factor;
  if (!label.is_text()) return;
  for (record* clock : coarse_sy) {
    if (clock->at(SY_LABEL).is_text()) clock->set_at(SY_LABEL, label);
  }
}

bool alignment::align_by_clock(objet* tree, objet* report, const std::vector<record*>& merged_sy,
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
  first_record(tree);
  first_record(report);
  uint32_t d = (a4 / b4) * (a2 - b2) * b4 + (a3 - b3);
  shift_apart(tree, tree, report, static_cast<int32_t>(d));
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

bool alignment::align_by_rendezvous(objet* tree, merge_cache* cache, objet* report) {
  rendezvous_names& names = cache->names();
  std::vector<rd_ref> report_rd;
  names.collect(body_of(report), &report_rd);
  if (report_rd.empty()) return false;
  const std::vector<rd_ref>& merged_rd = cache->merged_rendezvous(body_of(tree));
  uint32_t count = 0;
  const int32_t mean = match_rendezvous(merged_rd, report_rd, names.count(), &count);
  if (count == 0) return false;
  shift_apart(tree, tree, report, mean);
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

void alignment::align(objet* tree, merge_cache* cache, objet* report, const report_survey& survey,
                      int32_t report_number, const char* rod_path) {
  rod_paths_[report_number] = rod_path;
  report_shift_ = 0;
  if (tree) {
    const std::vector<record*> merged_sy = merged_clocks(tree, true);
    align_time_units(tree, cache, report, merged_sy, survey.clocks);
    if (!align_by_clock(tree, report, merged_sy, survey.clocks) && !align_by_rendezvous(tree, cache, report)) {
      const uint32_t d = first_time(tree) + owed_ - first_time(report);
      shift_apart(tree, report, tree, static_cast<int32_t>(d));
    }
  }
  move_onto_base(report);
  body_has_clock_ |= survey.body_has_clock;
  first_clocks_.insert(first_clocks_.end(), survey.first_clocks.begin(), survey.first_clocks.end());
  last_clocks_.insert(last_clocks_.end(), survey.last_clocks.begin(), survey.last_clocks.end());
}

// One walk for what used to take four: the shift alignment gave the report
// (its clocks borrowing whole units), its range checked record by record;
// its largest time, which the tree's takes; and the shift the tree owes,
// taken off, since the tree's own times hold stored values.
void alignment::move_onto_base(objet* report) {
  const uint32_t d = report_shift_;
  auto visit = [&](objet* holder) {
    record* r = holder->item.rec();
    if (r->kind() == KIND_SY) {
      if (d) shift_record(r, d);
      return false;
    }
    const uint32_t position = shifted_time_field(*r);
    if (!position) return false;
    const int32_t time = r->at(position).number;
    if (d && !in_time_range(int64_t{time} + d)) refuse_out_of_range(report, r);
    const uint32_t moved = static_cast<uint32_t>(time) + d;
    largest_ = std::max<int64_t>(largest_, static_cast<int32_t>(moved));
    r->set_number(position, static_cast<int32_t>(moved - owed_));
    return false;
  };
  walk_records(report, visit);
}

void alignment::settle(objet* tree) {
  move_time_fields(tree, owed_);
  owed_ = 0;
}

void alignment::refuse_out_of_range(objet* tree, const record* r) const {
  if (!r) return;
  const read_place place = place_in(tree, r);
  const auto path = rod_paths_.find(place.report_number);
  refuse_time_out_of_range(path != rod_paths_.end() ? path->second.c_str() : "", place.line);
}
