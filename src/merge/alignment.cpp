#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "merge/alignment.h"
#include "merge/time_shift.h"
#include "report/record_walk.h"
#include "report/report_errors.h"
#include "report/shapes.h"
#include "report/time_points.h"

// The tree's clock records; a body that holds none is passed over.
std::vector<record*> alignment::merged_clocks(tree_node* tree, bool exact_keyword) const {
  std::vector<record*> records;
  auto take = [&records, exact_keyword](record* r) {
    if (!exact_keyword || is_exactly(*r, KIND_SY)) records.push_back(r);
  };
  for (record* r : first_clocks_) take(r);
  if (body_has_clock_) {
    auto visit = [&take](tree_node* holder) {
      if (holder->item.rec()->kind() == KIND_SY) take(holder->item.rec());
      return false;
    };
    walk_records(body_of(tree), visit);
  }
  for (record* r : last_clocks_) take(r);
  return records;
}

// What merged_clocks(tree, true) gives first, without the others.
const record* alignment::first_merged_clock(tree_node* tree) const {
  for (record* r : first_clocks_)
    if (is_exactly(*r, KIND_SY)) return r;
  if (body_has_clock_) {
    const record* found = nullptr;
    auto visit = [&found](tree_node* holder) {
      const record* r = holder->item.rec();
      if (r->kind() == KIND_SY && is_exactly(*r, KIND_SY)) found = r;
      return found != nullptr;
    };
    walk_records(body_of(tree), visit);
    if (found) return found;
  }
  for (record* r : last_clocks_)
    if (is_exactly(*r, KIND_SY)) return r;
  return nullptr;
}

// A positive difference moves the first tree later, a negative one the
// second. A difference out of range by itself ends the run at the report's
// record it came from. The merged tree moves its clocks at once and owes
// the rest; the report's move waits for move_onto_base.
void alignment::shift_apart(tree_node* tree, tree_node* positive, tree_node* negative, int64_t d,
                            const record* source) {
  if (!in_time_range(d)) refuse_out_of_range(positive == tree ? negative : positive, source);
  if (d == 0) return;
  tree_node* moved = d > 0 ? positive : negative;
  const auto amount = static_cast<uint32_t>(d > 0 ? d : -d);
  if (moved != tree) {
    report_shift_ = amount;
    return;
  }
  // The tree's largest time tells without a walk; the walk only names the
  // record that would leave the range.
  const std::vector<record*> clocks = merged_clocks(tree, false);
  const bool clocks_in_range = std::all_of(clocks.begin(), clocks.end(), [amount](const record* clock) {
    return shift_keeps_record_in_range(*clock, 0, amount);
  });
  if (!shift_keeps_in_range(largest_, amount) || !clocks_in_range)
    refuse_out_of_range(tree, first_shifted_out(tree, owed_, amount));
  for (record* clock : clocks) shift_record(clock, amount);
  owed_ += amount;
  if (largest_ != NO_TIME) largest_ += amount;
}

// The tick lengths of the tree's and the report's first clocks, when both
// have one and they differ.
struct tick_lengths {
  uint32_t tree, report;
};
static std::optional<tick_lengths> differing_ticks(const record* merged_clock, const record* report_clock) {
  if (!merged_clock || !report_clock) return std::nullopt;
  const field a = merged_clock->at(SY_TICK_LENGTH), b = report_clock->at(SY_TICK_LENGTH);
  if (!a.is_number() || !b.is_number()) return std::nullopt;
  const tick_lengths ticks{static_cast<uint32_t>(a.number), static_cast<uint32_t>(b.number)};
  if (ticks.tree == 0 || ticks.report == 0 || ticks.tree == ticks.report) return std::nullopt;
  return ticks;
}

bool alignment::scales_tree(tree_node* tree, const report_survey& survey) const {
  if (!tree) return false;
  const record* report_clock = survey.clocks.empty() ? nullptr : survey.clocks.front();
  const std::optional<tick_lengths> ticks = differing_ticks(first_merged_clock(tree), report_clock);
  return ticks && ticks->tree > ticks->report;
}

// The report with the coarser tick takes the finer one, and the other's
// label; a tree to scale has been settled (scales_tree).
void alignment::align_time_units(tree_node* tree, tree_node* report, const std::vector<record*>& merged_sy,
                                 const std::vector<record*>& report_sy) {
  const std::optional<tick_lengths> ticks = differing_ticks(merged_sy.empty() ? nullptr : merged_sy.front(),
                                                            report_sy.empty() ? nullptr : report_sy.front());
  if (!ticks) return;
  const uint32_t a = ticks->tree, b = ticks->report;
  tree_node* coarse = a < b ? report : tree;
  const std::vector<record*>& coarse_sy = a < b ? report_sy : merged_sy;
  const field label = (a < b ? merged_sy : report_sy).front()->at(SY_LABEL);
  if (coarse == tree && owed_ != 0) internal_report_error();
  const uint32_t factor = a < b ? b / a : a / b;
  refuse_out_of_range(coarse, scale_times(coarse, factor));
  if (coarse == tree && largest_ != NO_TIME) largest_ *= factor;
  if (!label.is_text()) return;
  for (record* clock : coarse_sy) {
    if (clock->at(SY_LABEL).is_text()) clock->set_at(SY_LABEL, label);
  }
}

// The start of b's clock less a's, in b's ticks, exactly: the quotient of the
// ticks per unit is unsigned, the other values signed as read. Nothing when
// the product leaves even 64 bits, which no time range holds.
static std::optional<int64_t> clock_difference(const record& a, const record& b) {
  const int64_t a_per_unit = a.at(SY_TICKS_PER_UNIT).number, b_per_unit = b.at(SY_TICKS_PER_UNIT).number;
  const int64_t quotient = static_cast<uint32_t>(a_per_unit) / static_cast<uint32_t>(b_per_unit);
  const int64_t units = int64_t{a.at(SY_UNITS).number} - b.at(SY_UNITS).number;
  int64_t ticks = 0;
  if (__builtin_mul_overflow(quotient, units, &ticks) || __builtin_mul_overflow(ticks, b_per_unit, &ticks))
    return std::nullopt;
  return ticks + (int64_t{a.at(SY_TICKS).number} - b.at(SY_TICKS).number);
}

static bool is_clock_start(const record& r) {
  return r.at(SY_UNITS).is_number() && r.at(SY_TICKS).is_number() && r.at(SY_TICKS_PER_UNIT).is_number();
}

bool alignment::align_by_clock(tree_node* tree, tree_node* report, const std::vector<record*>& merged_sy,
                               const std::vector<record*>& report_sy) {
  if (merged_sy.empty() || report_sy.empty()) return false;
  const record* a = merged_sy.front();
  const record* b = report_sy.front();
  const field clock = b->at(SY_CLOCK);
  if (!is_clock_start(*a) || !is_clock_start(*b) || b->at(SY_TICKS_PER_UNIT).number == 0 || !clock.is_text())
    return false;
  for (const record* merged : merged_sy) {
    if (!merged->at(SY_CLOCK).text_is(clock.text)) return false;
  }
  first_record(tree);
  first_record(report);
  shift_apart(tree, tree, report, clock_difference(*a, *b).value_or(INT64_MAX), b);
  return true;
}

// A report's RD record matched with the tree's: the difference of their
// matched times joins the sum.
static void count_match(const record& merged_rd, const rd_ref& report_record, uint32_t owed,
                        rendezvous_match* match) {
  const field merged_time = merged_rd.at(RD_MATCHED_TIME), report_time = report_record.rd->at(RD_MATCHED_TIME);
  const int32_t merged = static_cast<int32_t>(owed_time(static_cast<uint32_t>(merged_time.number), owed));
  match->sum += int64_t{report_time.is_number() ? report_time.number : 0} - (merged_time.is_number() ? merged : 0);
  if (++match->count == 1) match->first = report_record.rd;
}

rendezvous_match match_rendezvous(const std::vector<rd_ref>& merged_rd, const std::vector<rd_ref>& report_rd,
                                  uint32_t names, uint32_t owed) {
  // Asked once per report of a run, over every rendezvous merged so far: one
  // pass finds where each name is last merged, so that a name not merged past
  // the cursor is passed over without a search, and the searches together
  // read the merged list once. The pass notes every name, a store apiece,
  // rather than test each for one of the report's.
  const size_t none = SIZE_MAX;
  std::vector<size_t> last_at(names, none);
  for (size_t i = 0; i < merged_rd.size(); ++i) last_at[merged_rd[i].name] = i;
  size_t cursor = 0;
  rendezvous_match match;
  for (const rd_ref& record : report_rd) {
    const size_t last = last_at[record.name];
    if (last == none || last < cursor) continue;
    size_t at = cursor;
    while (merged_rd[at].name != record.name) ++at;
    count_match(*merged_rd[at].rd, record, owed, &match);
    cursor = at + 1;
  }
  return match;
}

rendezvous_match match_rendezvous(const rendezvous_index& merged, const std::vector<rd_ref>& report_rd,
                                  uint32_t owed) {
  uint64_t cursor = 0;
  rendezvous_match match;
  for (const rd_ref& record : report_rd) {
    const rendezvous_index::entry* next = merged.first_after(record.name, cursor);
    if (!next) continue;
    count_match(*next->rd, record, owed, &match);
    cursor = next->label;
  }
  return match;
}

bool alignment::align_by_rendezvous(tree_node* tree, tree_node* report, const rendezvous_matcher& shared) {
  const rendezvous_match match = shared(report);
  if (match.count == 0) return false;
  shift_apart(tree, tree, report, match.sum / match.count, match.first);
  return true;
}

tree_node* first_record(tree_node* tree) {
  tree_node* node = tree ? tree->next : nullptr;
  if (!node) unexpected_end_of_report();
  while (tree_node* list = node->item.list()) node = list;
  return node;
}

// Only a body that begins with a test item or step has a first time; its
// stored value, and the record.
static std::pair<int32_t, const record*> first_time(tree_node* tree) {
  const record* r = first_record(tree)->item.rec();
  field time;
  if (r && (r->kind() == KIND_XI || r->kind() == KIND_DS)) time = r->at(facts_of(r->kind()).time_field);
  if (!time.is_number()) unexpected_end_of_report();
  return {time.number, r};
}

void alignment::align(tree_node* tree, tree_node* report, const report_survey& survey, const rendezvous_matcher& shared,
                      int32_t report_number, const char* rod_path) {
  rod_paths_[report_number] = rod_path;
  report_shift_ = 0;
  if (tree) {
    const std::vector<record*> merged_sy = merged_clocks(tree, true);
    align_time_units(tree, report, merged_sy, survey.clocks);
    if (!align_by_clock(tree, report, merged_sy, survey.clocks) && !align_by_rendezvous(tree, report, shared)) {
      const auto [merged_time, merged_first] = first_time(tree);
      const auto [report_time, report_first] = first_time(report);
      const auto merged = static_cast<int32_t>(owed_time(static_cast<uint32_t>(merged_time), owed_));
      shift_apart(tree, report, tree, int64_t{merged} - report_time, report_first);
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
void alignment::move_onto_base(tree_node* report) {
  const uint32_t d = report_shift_;
  auto visit = [&](tree_node* holder) {
    record* r = holder->item.rec();
    if (r->kind() == KIND_SY) {
      if (d && !shift_keeps_record_in_range(*r, 0, d)) refuse_out_of_range(report, r);
      if (d) shift_record(r, d);
      return false;
    }
    for_each_shifted_field(*r, [&](uint32_t position, int32_t stored) {
      if (d && !shift_keeps_time_in_range(stored, 0, d)) refuse_out_of_range(report, r);
      const uint32_t moved = static_cast<uint32_t>(stored) + d;
      largest_ = std::max<int64_t>(largest_, static_cast<int32_t>(moved));
      r->set_number(position, static_cast<int32_t>(moved - owed_));
    });
    return false;
  };
  walk_records(report, visit);
}

void alignment::settle(tree_node* tree) {
  move_time_fields(tree, owed_);
  owed_ = 0;
}

void alignment::refuse_out_of_range(tree_node* tree, const record* r) const {
  if (!r) return;
  const read_place place = place_in(tree, r);
  const auto path = rod_paths_.find(place.report_number);
  refuse_time_out_of_range(path != rod_paths_.end() ? path->second.c_str() : "", place.line);
}
