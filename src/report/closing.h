#pragma once

// Closing records: a ROD report opens some constructs without closing them,
// and this pass adds the closing record after each such run of records, so
// that nesting can pair them.

#include <cstdint>
#include <vector>

#include "report/tree_node.h"
#include "report/record_kinds.h"
#include "util/mapped_room.h"

// The top level of a chain as it stands between passes: each node with the
// kind bit that its record matches, none for a record that matches no key,
// NOT_RECORD for anything else. The passes scan this array instead of
// chasing every record through memory.
constexpr key_set NOT_RECORD = key_set{1} << 63;
struct top_entry {
  tree_node* node() const { return node_; }
  key_set kind() const { return kind_; }

  tree_node* node_ = nullptr;
  key_set kind_ = 0;
};
using top_level = std::vector<top_entry, mapped_room_allocator<top_entry>>;
// The first of entries[from, end) whose kind is among keys, or end. The
// kinds looked for are few: four entries are passed over with one test.
inline size_t next_entry_in(const top_entry* entries, size_t from, size_t end, key_set keys) {
  while (from + 4 <= end &&
         !((entries[from].kind() | entries[from + 1].kind() | entries[from + 2].kind() | entries[from + 3].kind()) & keys))
    from += 4;
  while (from < end && !(entries[from].kind() & keys)) ++from;
  return from;
}
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

