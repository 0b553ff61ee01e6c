#pragma once

// Insertion in time order of many items at once into a list that grows with
// every report, touching only the nodes around the insertions.

#include <cstdint>
#include <memory>
#include <vector>

#include "merge/rendezvous_index.h"
#include "merge/rendezvous_names.h"
#include "report/tree_node.h"

// The insertion time_order::insert makes, by walking the list: on from the
// last item placed while the items come in key order, from the head again
// when one comes earlier. For short lists, which an order costs more to read
// than a walk does. *last: the list's last node after it.
tree_node* insert_walking(tree_node* list, const std::vector<tree_node*>& nodes, uint32_t owed, tree_node** last);

// What is known of one list between insertions: its nodes in order and the
// running maximum of their keys, so that an item's place is a binary search
// instead of a walk. Keys are stored times plus the owed shift (the fixed
// time as itself). An owed shift moves every stored key alike, so the order
// follows it without reading the list again, while no key wraps past 2^32
// and none is the fixed time. With rendezvous names, the order also keeps the
// RD records its items hold, which the rendezvous alignment reads instead of
// the items. It holds while the list changes only through insert.
class time_order {
 public:
  // An item on its way in: the gap it goes into (before the original node
  // of that index), its key and node, and the RD records it holds (a range
  // of the insertion's records).
  struct placed {
    size_t gap;
    int64_t key;
    tree_node* node;
    uint32_t rd_first, rd_end;
    bool holds_rd() const { return rd_end != rd_first; }
  };
  // Room for the items of one insertion and their RD records, which
  // whoever inserts many times keeps from one to the next.
  struct placing {
    std::vector<placed> items;
    std::vector<rd_ref> refs;
  };

  // Inserts the nodes' items one after the other into list, each before the
  // first node whose key time is greater (nodes without key passed over),
  // the nodes themselves joining the list; returns the new head. An item without order key ends the run with
  // "UNEXPTEOF". A list this order does not follow is read first. With names, the RD records of the list's items are
  // kept. Without room, the insertion makes its own.
  tree_node* insert(tree_node* list, const std::vector<tree_node*>& nodes, uint32_t owed,
                    rendezvous_names* names = nullptr, placing* room = nullptr);

  // Whether the order follows list (list being its first node).
  bool follows(const tree_node* list) const { return !nodes_.empty() && nodes_.front() == list; }
  // The list's last node; none for an empty list.
  tree_node* last_node() const { return nodes_.empty() ? nullptr : nodes_.back(); }
  // A bit per kind of the records among the items.
  uint64_t kinds() const { return kinds_; }
  // The RD records of the list in document order, when it follows list and
  // keeps them; they stay until the next insertion.
  const std::vector<rd_ref>* rendezvous(const tree_node* list) const {
    return follows(list) && keeps_rd_ ? &refs_ : nullptr;
  }
  // From now on the order keeps its RD records by name too (see
  // rendezvous_index), when it keeps them at all.
  void index_rendezvous() {
    if (index_) return;
    index_ = std::make_unique<rendezvous_index>();
    index_->rebuild(refs_);
  }
  // That index, when the order follows list and keeps it.
  const rendezvous_index* rendezvous_by_name(const tree_node* list) const {
    return follows(list) && keeps_rd_ ? index_.get() : nullptr;
  }

 private:
  void read(tree_node* list, uint32_t owed, rendezvous_names* names);
  void keep_rendezvous_of(tree_item item, rendezvous_names* names);
  bool follows_owed(uint32_t owed);
  void take_key(bool fixed, int64_t value);
  // The items in the order they go in, into placing.
  void place(const std::vector<tree_node*>& nodes, uint32_t owed, rendezvous_names* names, placing* room);
  tree_node* splice(const std::vector<placed>& inserted);
  void grow_nodes(const std::vector<placed>& inserted);
  void grow_rd(const placing& inserted);

  std::vector<tree_node*> nodes_;
  // Of the keys up to each node from the first with a key on, on this
  // order's scale modulo 2^32: add keys_moved_ for the key time, which no
  // key wraps. Four bytes a node where most merged nodes are in some order.
  std::vector<uint32_t> running_max_;
  size_t keyless_ = 0;  // nodes before the first key, which no item goes before
  int64_t keys_moved_ = 0;      // how far the owed shift moved the keys since they were read
  uint32_t owed_ = 0;           // the owed shift keys_moved_ was taken at
  int64_t low_ = INT64_MAX, high_ = INT64_MIN;  // keys, on running_max_'s scale
  bool fixed_ = false;          // some key is the fixed time
  uint64_t kinds_ = 0;
  // With names: the RD records the nodes' items hold, in list order, and
  // for each node that holds any (in list order) its index and where its
  // records begin, in one number (see time_order.cpp); they end where the
  // next node's do. Items do not change once in such a list, so their
  // records are read once; nodes without RD records, most of them, cost
  // nothing. Moving the places up past an insertion is a copy and an
  // addition.
  bool keeps_rd_ = false;
  std::vector<uint64_t> rd_places_;
  std::vector<rd_ref> refs_;
  std::unique_ptr<rendezvous_index> index_;
};
