#pragma once

// The rendezvous alignment matches RD records by name, once per report over
// every RD record merged so far. Each record's name is numbered once, when
// the record is first met, so that the matching compares numbers and the
// merged tree's records need not be read again.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/tree_node.h"

// An RD record and the number of its name (equal names, equal numbers).
// Twelve bytes, not sixteen: the kept lists of them move up past every
// insertion.
struct [[gnu::packed, gnu::aligned(4)]] rd_ref {
  record* rd;
  uint32_t name;
};
static_assert(sizeof(rd_ref) == 12, "an RD reference holds no padding");

class rendezvous_names {
 public:
  // The RD records with a name that an item of a list holds (itself, when
  // a record, or at any depth, when a list; blocks marked as holding none
  // are passed over), appended in document order.
  void collect_item(tree_item item, std::vector<rd_ref>* refs);
  // The same for every item of a chain, and for a record met on a walk of
  // the caller's own.
  void collect(tree_node* chain, std::vector<rd_ref>* refs);
  void collect_record(record* r, std::vector<rd_ref>* refs);
  uint32_t count() const { return static_cast<uint32_t>(texts_.size()); }

 private:
  uint32_t number_of(std::string_view name);

  std::deque<std::string> texts_;  // what the keys view: a deque never moves them
  std::unordered_map<std::string_view, uint32_t> numbers_;
};
