#pragma once

// Closing records: a ROD report opens some constructs without closing them,
// and this pass adds the closing record after each such run of records, so
// that nesting can pair them.

#include <cstdint>
#include <vector>

#include "report/tree_node.h"
#include "report/record_kinds.h"
#include "util/mapped_room.h"

constexpr uint32_t NOT_RECORD_BIT = 63;
constexpr key_set NOT_RECORD = key_set{1} << NOT_RECORD_BIT;

// Whether the kind of the bit numbered bit is among keys.
inline bool kind_among(key_set keys, uint32_t bit) { return keys >> bit & 1; }

// The top level of a chain as it stands between passes: each node with the
// number of the kind bit that its record matches, NO_KEY for a record that
// matches no key, NOT_RECORD_BIT for anything else. The passes scan the
// kinds, a byte apiece, instead of chasing every record through memory: the
// array lives at the peak of a report's reading, and a node and a set apiece
// made it twice the size.
class top_level {
 public:
  static constexpr uint8_t NO_KEY = 62;  // a bit that no set asked for holds

  size_t size() const { return nodes_.size(); }
  tree_node* node(size_t i) const { return nodes_[i]; }
  // For passes that move entries where they lie.
  tree_node** nodes() { return nodes_.data(); }
  uint8_t* kind_bits() { return bits_.data(); }
  const uint8_t* kind_bits() const { return bits_.data(); }

  void reserve(size_t entries) {
    nodes_.reserve(entries);
    bits_.reserve(entries);
  }
  void clear() {
    nodes_.clear();
    bits_.clear();
  }
  void resize(size_t entries) {
    nodes_.resize(entries);
    bits_.resize(entries);
  }
  void push_back(tree_node* node, uint8_t kind_bit) {
    nodes_.push_back(node);
    bits_.push_back(kind_bit);
  }

 private:
  std::vector<tree_node*, mapped_room_allocator<tree_node*>> nodes_;
  std::vector<uint8_t, mapped_room_allocator<uint8_t>> bits_;
};
static_assert(KEYWORD_COUNT < top_level::NO_KEY, "the sets asked for leave a bit to records of no key");
// The kinds of the records of the top level.
key_set kinds_present(const top_level& top);
// The top level of the chain from head into top, which keeps its memory.
void read_top_level(tree_node* head, top_level* top);

// A report's chain under a head node (the keyword of two blanks) and its top
// level, which the closing and the nesting pass keep in step with the chain
// as they change it: the array is read from the records once for both.
class report_top {
 public:
  // rod_path names the report in messages.
  report_top(tree_node* chain, const char* rod_path);
  report_top(const report_top&) = delete;
  report_top& operator=(const report_top&) = delete;

  tree_node* head() const { return head_; }
  const char* rod_path() const { return rod_path_; }
  top_level& entries() { return entries_; }
  // The chain without its head; the top level is no longer kept.
  tree_node* take_chain();

 private:
  tree_node* head_;
  const char* rod_path_;
  top_level entries_;
};

// What a closing rule does with a run it found: the node before its opener
// and its last node (or the opener itself); rod_path names the report.
using closing_action = void (*)(tree_node* before, tree_node* last, const char* rod_path);

// Inserts after every construct that the report only opens (PP, DA, EV, DX,
// SN, DW, CO and RE runs) its synthesized closing record, and an FW record
// after every DW run; an FW time past the signed 32-bit range ends the run
// ("TIMERANGE") at its DW record.
void add_closing_records(report_top* report);

