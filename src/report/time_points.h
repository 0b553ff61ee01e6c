#pragma once

// Times of records: the time field of each kind, the fixed time of closing
// records, the key a record or a block is ordered by, and the time points
// that give records without time of their own the time before them.

#include <cstdint>
#include <optional>

#include "report/record.h"
#include "report/record_kinds.h"
#include "report/tree_node.h"

// The shared time of closing records (YI, YT, FE, FS), never shifted or scaled.
constexpr uint32_t FIXED_TIME = 33;

// The time a stored time stands for in a tree that owes owed ticks.
inline uint32_t owed_time(uint32_t stored, uint32_t owed) { return stored + owed; }

// What a record or a block is ordered by: its time field's number, or the
// fixed time, which is no stored value.
struct time_key {
  uint32_t value;
  bool fixed;
};

// The time a key stands for, where time fields hold stored times: the time
// less the shift the merged tree owes.
inline uint32_t key_time(time_key key, uint32_t owed) { return key.fixed ? key.value : owed_time(key.value, owed); }

// A record's time key: its time field when that holds a number, the fixed
// time for closing records; none for anything else. Inlined: the time
// orders ask it of every item they read or place.
inline std::optional<time_key> time_key_of(tree_item item) {
  const record* r = item.rec();
  if (!r) return std::nullopt;
  const kind_facts& facts = facts_of(r->kind());
  if (facts.fixed_time) return time_key{FIXED_TIME, true};
  if (facts.time_field == 0) return std::nullopt;
  const field time = r->at(facts.time_field);
  if (!time.is_number()) return std::nullopt;
  return time_key{static_cast<uint32_t>(time.number), false};
}
// A block's time key: that of its first record with one.
std::optional<time_key> block_order_key(tree_item item);
// A record's time key, or a block's. The record's inlined: most items are.
inline std::optional<time_key> order_key(tree_item item) {
  if (item.is_record()) return time_key_of(item);
  return block_order_key(item);
}
// Adds a TP record with the last time seen after every record that asks
// for one.
tree_node* insert_time_points(tree_node* report);
