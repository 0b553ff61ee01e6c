#pragma once

// Insertion in time order of many items at once into a list that grows with
// every report, touching only the nodes around the insertions.

#include <cstdint>
#include <vector>

#include "merge/rendezvous_names.h"
#include "report/objet.h"

// A list's nodes and the running maximum of their keys, kept from one batch
// to the next. running_max + shift is the key time of the greatest key so
// far (the stored time plus the owed offset it was read at), or NO_KEY
// before the first one. Owed shifts move every stored time alike, so the
// order follows them by its shift while no key wraps past 2^32 and none is
// the fixed time; otherwise it is read again. It stays true while the list
// changes only through insert_all_by_time and its keys keep their stored
// values.
struct time_order {
  std::vector<objet*> nodes;
  std::vector<int64_t> running_max;
  int64_t shift = 0;
  uint32_t offset = 0;  // the owed offset shift was taken at
  int64_t low = INT64_MAX, high = INT64_MIN;  // keys, on running_max's scale
  bool fixed = false;   // some key is the fixed time
  uint64_t kinds = 0;   // a bit per kind of the records among the items
  // When kept with rendezvous names: the RD records the nodes' items hold,
  // as a range of rd_refs for each node that holds any, in list order. The
  // items of such a list are not changed once in it, so their records are
  // read once; nodes without RD records, most of them, cost nothing.
  struct rd_span {
    uint32_t node;  // its position in nodes
    uint32_t first, end;
  };
  bool keeps_rd = false;
  std::vector<rd_span> spans;
  std::vector<rd_ref> refs;

  // Empty, for a list read afresh at offset; the arrays keep their room.
  void restart(uint32_t at_offset) {
    nodes.clear();
    running_max.clear();
    spans.clear();
    refs.clear();
    shift = 0;
    offset = at_offset;
    low = INT64_MAX;
    high = INT64_MIN;
    fixed = false;
    kinds = 0;
    keeps_rd = false;
  }
};

// Inserts the items one after the other into list, each before the first
// node whose key time is greater (nodes without key passed over), without
// walking the list once per item; returns the new head. Key times are the
// stored times plus offset, the fixed time as itself. An item without order
// key ends the run with "UNEXPTEOF". The last node goes to *tail when asked
// for. The order follows the list; an empty one, or one of another list, is
// read first. With names, it keeps the items' RD records too.
objet* insert_all_by_time(objet* list, const std::vector<tree_item>& items, time_order* order, uint32_t offset,
                          objet** tail = nullptr, rendezvous_names* names = nullptr);
// The RD records of the order's list in document order, when it keeps them.
bool kept_rendezvous(const time_order& order, objet* list, std::vector<rd_ref>* refs);
