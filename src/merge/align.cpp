#include "merge/align.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "merge/classify.h"
#include "merge/long_field.h"
#include "merge/name_key.h"
#include "merge/record_walk.h"
#include "merge/time_base.h"
#include "merge/time_points.h"
#include "report/report_errors.h"

template <typename Keep>
static objet* collect(objet* tree, Keep keep, uint8_t passed_mark = 0) {
  objet* head = nullptr;
  objet* tail = nullptr;
  auto take = [&](objet* holder) {
    objet* record = holder->item;
    if (keep(record)) {
      objet* node = list1(record);
      if (tail)
        tail->next = node;
      else
        head = node;
      tail = node;
    }
    return false;
  };
  walk_records(tree, take, passed_mark);
  return head;
}

// A keyword of the table has that kind, so most records are passed over
// without reading their text.
static auto with_keyword(objet* keyword_cell) {
  return [keyword_cell](objet* record) {
    return kind_of(record) == keyword_cell->kind && equal_objet(record->item, keyword_cell);
  };
}

objet* collect_records(objet* tree, objet* keyword_cell) { return collect(tree, with_keyword(keyword_cell)); }

static objet* collect_rendezvous(objet* tree) {
  return collect(tree, with_keyword(keyword_cells[KIND_RD]), NO_RD_MARK);
}

void free_collection(objet* collection) {
  while (collection) {
    objet* next = collection->next;
    free_cell(collection);
    collection = next;
  }
}

static void multiply(objet* record, int position, uint32_t factor) {
  if (objet* cell = long_at(record, position))
    cell->value = static_cast<int32_t>(static_cast<uint32_t>(cell->value) * factor);
}

static void scale_record(objet* record, uint32_t factor) {
  static const int none[] = {0};
  static const int one[] = {1, 0};
  static const int two[] = {2, 0};
  static const int five[] = {5, 0};
  static const int three_four_five[] = {3, 4, 5, 0};
  static const int three_five[] = {3, 5, 0};
  static const int four_five_six[] = {4, 5, 6, 0};
  static const int one_two[] = {1, 2, 0};
  static const int five_seven[] = {5, 7, 0};
  static const int four_five[] = {4, 5, 0};
  const int* positions = none;
  switch (kind_of(record)) {
    case KIND_SY:
      multiply(record, 4, factor);
      multiply(record, 3, factor);
      if (objet* tick = long_at(record, 5))
        tick->value = static_cast<int32_t>(static_cast<uint32_t>(tick->value) / factor);
      return;
    case KIND_XI: case KIND_DT: case KIND_XE: case KIND_TP: positions = one; break;
    case KIND_DP: case KIND_FS: positions = two; break;
    case KIND_DS: positions = five; break;
    case KIND_DA: case KIND_DW: case KIND_RD: case KIND_FW: positions = three_four_five; break;
    case KIND_EV: positions = three_five; break;
    case KIND_SN: positions = four_five_six; break;
    case KIND_FT: case KIND_TN: case KIND_TF: case KIND_FB: positions = one_two; break;
    case KIND_IC: positions = five_seven; break;
    case KIND_ID: positions = four_five; break;
    default: break;  // BF fields are text: left unchanged
  }
  for (const int* p = positions; *p; ++p) multiply(record, *p, factor);
}

void scale_times(objet* tree, uint32_t factor) {
  auto scale = [factor](objet* holder) {
    scale_record(holder->item, factor);
    return false;
  };
  walk_records(tree, scale);
}

// Same result as turning "while ticks < d: borrow one unit of ticks_per_unit"
// with 32-bit wrap-around, without one turn per unit. With d <= 2^31, a step
// of at most 2^31 never wraps before ticks reach d; a larger step is a
// negative one that counts ticks down until they wrap above d.
uint32_t clock_borrow(uint32_t ticks, uint32_t ticks_per_unit, uint32_t d) {
  if (ticks >= d || ticks_per_unit == 0) return 0;
  if (ticks_per_unit <= 0x80000000u) return (d - ticks + ticks_per_unit - 1) / ticks_per_unit;
  return ticks / (0u - ticks_per_unit) + 1;
}

static void shift_record(objet* record, uint32_t d) {
  if (kind_of(record) == KIND_SY) {
    objet* units = long_at(record, 2);
    objet* ticks = long_at(record, 3);
    objet* per_unit = long_at(record, 4);
    if (!units || !ticks || !per_unit) return;
    uint32_t t = static_cast<uint32_t>(ticks->value);
    uint32_t p = static_cast<uint32_t>(per_unit->value);
    uint32_t borrowed = clock_borrow(t, p, d);
    units->value = static_cast<int32_t>(static_cast<uint32_t>(units->value) - borrowed);
    ticks->value = static_cast<int32_t>(t + borrowed * p - d);
    return;
  }
  move_time_field(record, d);
}

void shift_times(objet* tree, uint32_t d) {
  auto shift = [d](objet* holder) {
    shift_record(holder->item, d);
    return false;
  };
  walk_records(tree, shift);
}

static uint32_t unsigned_at(objet* record, int position, bool* present) {
  objet* cell = long_at(record, position);
  if (!cell) *present = false;
  return cell ? static_cast<uint32_t>(cell->value) : 0;
}

// The records of merged that keep passes, without walking a body that
// merge_report marked as holding no SY record.
template <typename Keep>
static objet* collect_merged_sy(objet* merged, Keep keep) {
  objet* body = merged->next;
  if (!is_list(body) || !(body->flags & NO_SY_MARK)) return collect(merged, keep);
  objet* elements = body->item;
  body->item = nullptr;
  objet* records = collect(merged, keep);
  body->item = elements;
  return records;
}

static objet* merged_sy_records(objet* merged) {
  return collect_merged_sy(merged, with_keyword(keyword_cells[KIND_SY]));
}

// What shift_times(merged, d) does, with the other records' share owed.
static void shift_merged(objet* merged, time_base* base, uint32_t d) {
  objet* clocks = collect_merged_sy(merged, [](objet* record) { return kind_of(record) == KIND_SY; });
  for (objet* node = clocks; node; node = node->next) shift_record(node->item, d);
  free_collection(clocks);
  base->pending += d;
}

// A positive difference moves the first tree, a negative one the second.
static void shift_apart(objet* positive, objet* negative, int32_t d, objet* merged, time_base* base) {
  if (d == 0) return;
  objet* moved = d > 0 ? positive : negative;
  uint32_t amount = d > 0 ? static_cast<uint32_t>(d) : 0u - static_cast<uint32_t>(d);
  if (moved == merged)
    shift_merged(merged, base, amount);
  else
    shift_times(moved, amount);
}

void align_time_units(objet* merged, objet* report, objet* merged_sy, objet* report_sy, time_base* base) {
  if (!merged_sy || !report_sy) return;
  bool present = true;
  uint32_t a = unsigned_at(merged_sy->item, 5, &present);
  uint32_t b = unsigned_at(report_sy->item, 5, &present);
  if (!present || a == 0 || b == 0 || a == b) return;
  objet* coarse = a < b ? report : merged;
  objet* coarse_sy = a < b ? report_sy : merged_sy;
  objet* label = string_at((a < b ? merged_sy : report_sy)->item, 6);
  if (coarse == merged) settle_times(merged, base);
  scale_times(coarse, a < b ? b / a : a / b);
  if (!label) return;
  for (objet* node = coarse_sy; node; node = node->next) {
    if (string_at(node->item, 6)) free_objet(replace_field(node->item, 6, copy_objet(label)));
  }
}

bool align_by_clock(objet* merged, objet* report, objet* merged_sy, objet* report_sy, time_base* base) {
  if (!merged_sy || !report_sy) return false;
  objet* a = merged_sy->item;
  objet* b = report_sy->item;
  bool present = true;
  uint32_t a2 = unsigned_at(a, 2, &present), a3 = unsigned_at(a, 3, &present);
  uint32_t a4 = unsigned_at(a, 4, &present);
  uint32_t b2 = unsigned_at(b, 2, &present), b3 = unsigned_at(b, 3, &present);
  uint32_t b4 = unsigned_at(b, 4, &present);
  objet* clock = string_at(b, 1);
  if (!present || b4 == 0 || !clock) return false;
  for (objet* node = merged_sy; node; node = node->next) {
    objet* name = string_at(node->item, 1);
    if (!name || !equal_string(name, clock)) return false;
  }
  first_record(merged);
  first_record(report);
  uint32_t d = (a4 / b4) * (a2 - b2) * b4 + (a3 - b3);
  shift_apart(merged, report, static_cast<int32_t>(d), merged, base);
  return true;
}

int32_t match_rendezvous(objet* merged_rd, objet* report_rd, uint32_t* count) {
  std::vector<objet*> merged_records;
  std::map<name_key, std::vector<size_t>> positions;
  for (objet* node = merged_rd; node; node = node->next) {
    if (objet* name = string_at(node->item, 1)) positions[key_of(name)].push_back(merged_records.size());
    merged_records.push_back(node->item);
  }
  size_t cursor = 0;
  uint32_t sum = 0;
  *count = 0;
  for (objet* node = report_rd; node; node = node->next) {
    objet* name = string_at(node->item, 1);
    if (!name) continue;
    auto found = positions.find(key_of(name));
    if (found == positions.end()) continue;
    auto at = std::lower_bound(found->second.begin(), found->second.end(), cursor);
    if (at == found->second.end()) continue;
    bool present = true;
    uint32_t difference = unsigned_at(node->item, 4, &present) -
                          unsigned_at(merged_records[*at], 4, &present);
    sum += difference;
    ++*count;
    cursor = *at + 1;
  }
  return *count ? static_cast<int32_t>(sum) / static_cast<int32_t>(*count) : 0;
}

static objet* body_of(objet* tree) {
  objet* body = node_at(tree, 1);
  return body ? body->item : nullptr;
}

bool align_by_rendezvous(objet* merged, objet* report, time_base* base) {
  objet* merged_rd = collect_rendezvous(body_of(merged));
  objet* report_rd = collect_rendezvous(body_of(report));
  uint32_t count = 0;
  int32_t offset = merged_rd && report_rd ? match_rendezvous(merged_rd, report_rd, &count) : 0;
  free_collection(merged_rd);
  free_collection(report_rd);
  if (count == 0) return false;
  shift_apart(merged, report, offset, merged, base);
  return true;
}

objet* first_record(objet* tree) {
  objet* node = node_at(tree, 1);
  if (!node) unexpected_end_of_report();
  while (is_list(node->item)) node = node->item;
  return node;
}

static uint32_t first_time(objet* tree) {
  objet* record = first_record(tree);
  objet* time = nullptr;
  if (is_string(record->item) && kind_of(record) == KIND_XI) time = long_at(record, 1);
  if (is_string(record->item) && kind_of(record) == KIND_DS) time = long_at(record, 5);
  if (!time) unexpected_end_of_report();
  return static_cast<uint32_t>(time->value);
}

void align_reports(objet* merged, objet* report, time_base* base) {
  if (!merged) return;
  objet* merged_sy = merged_sy_records(merged);
  objet* report_sy = collect_records(report, keyword_cells[KIND_SY]);
  align_time_units(merged, report, merged_sy, report_sy, base);
  bool aligned = align_by_clock(merged, report, merged_sy, report_sy, base);
  free_collection(merged_sy);
  free_collection(report_sy);
  if (aligned || align_by_rendezvous(merged, report, base)) return;
  // The later first record is the reference: the other report moves to it.
  uint32_t d = first_time(merged) + base->pending - first_time(report);
  shift_apart(report, merged, static_cast<int32_t>(d), merged, base);
}
