#pragma once

// The RD records of one kept list by name, for the rendezvous alignment: a
// report's alignment otherwise reads every RD record merged before it, and
// a time-variant run of hundreds of testers spent most of its merge there.
// Each record carries a label that orders the records as the list does and
// stays while the record is in the list, so that an insertion touches only
// the entries of the names it brings; when two neighbours leave no label
// between them, every record is labelled afresh.

#include <cstdint>
#include <vector>

#include "merge/rendezvous_names.h"

class rendezvous_index {
 public:
  struct entry {
    uint64_t label;  // above 0
    record* rd;
  };

  // Labels the list's records (refs, in list order) afresh.
  void rebuild(const std::vector<rd_ref>& refs);
  // The list's records grow to count; those from..end moved up by `by`
  // places, as the list's did.
  void resize(size_t count) { labels_.resize(count); }
  void move_up(size_t from, size_t end, size_t by);
  // The record at position is new to the list; take_new labels every such
  // record between its neighbours and files it by name.
  void add(size_t position) { added_.push_back(position); }
  void take_new(const std::vector<rd_ref>& refs);
  // The first record of that name whose label is above `after` (0 for the
  // first of all); none when no such record follows.
  const entry* first_after(uint32_t name, uint64_t after) const;

 private:
  void file(uint32_t name, const entry& labelled);

  std::vector<uint64_t> labels_;             // of the list's records, in list order
  std::vector<std::vector<entry>> by_name_;  // by name number, in label order
  std::vector<size_t> added_;
};
