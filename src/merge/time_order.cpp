#include "merge/time_order.h"

#include <algorithm>

#include "report/report_errors.h"
#include "report/shapes.h"
#include "report/time_points.h"
#include "util/large_blocks.h"
#include "util/near_search.h"

void time_order::take_key(bool fixed, int64_t value) {
  low_ = std::min(low_, value);
  high_ = std::max(high_, value);
  fixed_ |= fixed;
}

// The item's RD records join refs; false when it holds none.
static bool take_rendezvous(tree_item item, rendezvous_names* names, std::vector<rd_ref>* refs) {
  const size_t before = refs->size();
  names->collect_item(item, refs);
  return refs->size() != before;
}

// Where a node's RD records are: its index in the low half, where its
// records begin in the high half. Both grow along the list, so places
// compare as their nodes do, and moving both up is one addition.
static uint64_t rd_place(size_t node, size_t first_record) { return uint64_t{first_record} << 32 | node; }
static uint32_t node_of(uint64_t place) { return static_cast<uint32_t>(place); }
static uint32_t first_record_of(uint64_t place) { return static_cast<uint32_t>(place >> 32); }

// The item's RD records join the order's, the item being the next node.
void time_order::keep_rendezvous_of(tree_item item, rendezvous_names* names) {
  const size_t first = refs_.size();
  if (take_rendezvous(item, names, &refs_)) rd_places_.push_back(rd_place(nodes_.size(), first));
}

void time_order::read(tree_node* list, uint32_t owed, rendezvous_names* names) {
  nodes_.clear();
  running_max_.clear();
  rd_places_.clear();
  refs_.clear();
  keys_moved_ = 0;
  owed_ = owed;
  low_ = INT64_MAX;
  high_ = INT64_MIN;
  fixed_ = false;
  kinds_ = 0;
  keyless_ = 0;
  bool keyed = false;
  uint32_t highest = 0;
  for (tree_node* node = list; node; node = node->next) {
    if (const auto key = order_key(node->item)) {
      const uint32_t time = key_time(*key, owed);
      take_key(key->fixed, time);
      highest = keyed ? std::max(highest, time) : time;
      keyed = true;
    }
    keyless_ += !keyed;
    kinds_ |= kind_bit(node->item);
    if (names) keep_rendezvous_of(node->item, names);
    nodes_.push_back(node);
    running_max_.push_back(highest);
  }
  keeps_rd_ = names != nullptr;
  if (keeps_rd_ && index_) index_->rebuild(refs_);
}

// Whether the order still holds under the present owed shift, its keys moved
// along with the stored times.
bool time_order::follows_owed(uint32_t owed) {
  if (owed_ == owed) return true;
  if (fixed_) return false;
  const uint32_t moved = owed - owed_;
  owed_ = owed;
  if (low_ > high_) return true;
  const int64_t wrap = int64_t{1} << 32;
  const bool low_wraps = low_ + keys_moved_ + moved >= wrap;
  const bool high_wraps = high_ + keys_moved_ + moved >= wrap;
  if (low_wraps != high_wraps) return false;
  keys_moved_ += low_wraps ? int64_t{moved} - wrap : int64_t{moved};
  return true;
}

// The items of a report come nearly in time order, each a few places from
// its own at most: an insertion sort moves each that far. More disorder
// than that would make it quadratic, so past a budget of moves a merge sort
// takes over; both keep equal items in their order.
static void sort_nearly_in_order(std::vector<time_order::placed>* items) {
  using placed = time_order::placed;
  const auto earlier = [](const placed& a, const placed& b) { return a.gap != b.gap ? a.gap < b.gap : a.key < b.key; };
  std::vector<placed>& in = *items;
  size_t budget = 8 * in.size();
  for (size_t i = 1; i < in.size(); ++i) {
    if (!earlier(in[i], in[i - 1])) continue;
    const placed moving = in[i];
    size_t j = i;
    do {
      in[j] = in[j - 1];
      --j;
    } while (j > 0 && earlier(moving, in[j - 1]));
    in[j] = moving;
    if (i - j >= budget) {
      std::stable_sort(in.begin(), in.end(), earlier);
      return;
    }
    budget -= i - j;
  }
}

// One insertion puts an item before the first node whose key is greater, so
// the first original node that receives it is the first one whose running
// maximum key exceeds the item's key; the items that land before one original
// node stay sorted by key, equal keys in insertion order, and each one's
// running maximum is its own key. Keyless original nodes never receive an
// item.
void time_order::place(const std::vector<tree_node*>& nodes, uint32_t owed, rendezvous_names* names,
                       placing* room) {
  std::vector<placed>& inserted = room->items;
  inserted.clear();
  room->refs.clear();
  size_t previous_gap = 0;
  const auto moved = static_cast<uint32_t>(keys_moved_);
  const auto later = [moved](uint32_t time, uint32_t entry) { return time < static_cast<uint32_t>(entry + moved); };
  for (tree_node* node : nodes) {
    const tree_item item = node->item;
    const auto key = order_key(item);
    if (!key) unexpected_end_of_report();
    const uint32_t time = key_time(*key, owed);
    const int64_t value = int64_t{time} - keys_moved_;
    const size_t gap = upper_bound_near(running_max_, time, previous_gap, keyless_, running_max_.size(), later);
    previous_gap = gap;
    take_key(key->fixed, value);
    kinds_ |= kind_bit(item);
    const auto rd_first = static_cast<uint32_t>(room->refs.size());
    if (names) take_rendezvous(item, names, &room->refs);
    inserted.push_back({gap, value, node, rd_first, static_cast<uint32_t>(room->refs.size())});
  }
  sort_nearly_in_order(&inserted);
}

// Each run of new nodes goes before its original node; the others keep
// their links. Returns the list's head.
tree_node* time_order::splice(const std::vector<placed>& inserted) {
  const size_t original = nodes_.size();
  tree_node* head = original ? nodes_.front() : nullptr;
  for (size_t i = 0; i < inserted.size();) {
    const size_t gap = inserted[i].gap;
    tree_node* first = inserted[i].node;
    for (; i + 1 < inserted.size() && inserted[i + 1].gap == gap; ++i) inserted[i].node->next = inserted[i + 1].node;
    inserted[i].node->next = gap < original ? nodes_[gap] : nullptr;
    ++i;
    if (gap == 0)
      head = first;
    else
      nodes_[gap - 1]->next = first;
  }
  return head;
}

// The order grows from the back: the original nodes from each gap on move
// up by the new nodes not yet placed, which go just before them.
void time_order::grow_nodes(const std::vector<placed>& inserted) {
  const size_t original = nodes_.size();
  const size_t grown = original + inserted.size();
  // Arrays from the heap grow by a quarter: a run keeps an order for every
  // large merged block, and doubling left about a third of their room
  // unused to the end; growing to fit copied a block's order once a report,
  // which runs of hundreds of testers paid for. A mapped array's unused room
  // costs nothing.
  if (grown > nodes_.capacity() && grown * sizeof(tree_node*) < LARGE_BLOCKS_MAPPED_FROM) {
    const size_t room = std::max(grown, nodes_.capacity() + nodes_.capacity() / 4);
    nodes_.reserve(room);
    running_max_.reserve(room);
  }
  nodes_.resize(grown);
  running_max_.resize(grown);
  auto move_up = [](auto& entries, size_t from, size_t end, size_t by) {
    std::move_backward(entries.begin() + from, entries.begin() + end, entries.begin() + end + by);
  };
  size_t end = original;
  for (size_t next = inserted.size(); next > 0;) {
    const size_t gap = inserted[next - 1].gap;
    move_up(nodes_, gap, end, next);
    move_up(running_max_, gap, end, next);
    for (; next > 0 && inserted[next - 1].gap == gap; --next) {
      const size_t at = gap + next - 1;
      nodes_[at] = inserted[next - 1].node;
      running_max_[at] = static_cast<uint32_t>(inserted[next - 1].key);
    }
    end = gap;
  }
}

// The first of the places before end whose node is not below node, sought
// from end: the items of an insertion come in list order, each a few places
// before the next at most.
static size_t first_place_from(const std::vector<uint64_t>& places, size_t end, size_t node) {
  const auto at_or_past = [](uint64_t node_sought, uint64_t place) { return node_of(place) >= node_sought; };
  return upper_bound_near(places, uint64_t{node}, end - 1, 0, end, at_or_past);
}

// Places from..end move up by `by` places, and each grows by `add`.
static void move_up_adding(std::vector<uint64_t>* places, size_t from, size_t end, size_t by, uint64_t add) {
  std::vector<uint64_t>& all = *places;
  for (size_t i = end; i > from; --i) all[i - 1 + by] = all[i - 1] + add;
}

// The RD records and their places grow from the back too: an
// original node moves up by the new nodes placed before it, its records by
// theirs, and the j-th new node (in list order) lands at its gap plus j.
// Places before the first gap stay as they are.
void time_order::grow_rd(const placing& inserted) {
  if (rd_places_.empty() && inserted.refs.empty()) return;
  size_t read = rd_places_.size();
  size_t write = read;
  for (const placed& item : inserted.items) write += item.holds_rd();
  rd_places_.resize(write);
  size_t read_ref = refs_.size();
  refs_.resize(read_ref + inserted.refs.size());
  size_t write_ref = refs_.size();
  if (index_) index_->resize(refs_.size());
  for (size_t next = inserted.items.size(); next > 0; --next) {
    const placed& item = inserted.items[next - 1];
    if (read > 0 && node_of(rd_places_[read - 1]) >= item.gap) {
      const size_t from = first_place_from(rd_places_, read, item.gap);
      const size_t from_ref = first_record_of(rd_places_[from]);
      move_up_adding(&rd_places_, from, read, write - read, rd_place(next, write_ref - read_ref));
      std::move_backward(refs_.begin() + from_ref, refs_.begin() + read_ref, refs_.begin() + write_ref);
      if (index_) index_->move_up(from_ref, read_ref, write_ref - read_ref);
      write -= read - from;
      read = from;
      write_ref -= read_ref - from_ref;
      read_ref = from_ref;
    }
    if (!item.holds_rd()) continue;
    write_ref -= item.rd_end - item.rd_first;
    std::copy(inserted.refs.begin() + item.rd_first, inserted.refs.begin() + item.rd_end, refs_.begin() + write_ref);
    rd_places_[--write] = rd_place(item.gap + next - 1, write_ref);
    for (uint32_t i = 0; index_ && i < item.rd_end - item.rd_first; ++i) index_->add(write_ref + i);
  }
  if (index_) index_->take_new(refs_);
}

tree_node* time_order::insert(tree_node* list, const std::vector<tree_node*>& nodes, uint32_t owed,
                              rendezvous_names* names, placing* room) {
  if (!follows(list) || !follows_owed(owed) || (names && !keeps_rd_)) read(list, owed, names);
  if (!names) {
    keeps_rd_ = false;
    rd_places_.clear();
    refs_.clear();
  }
  placing own_room;
  placing& inserted = room ? *room : own_room;
  place(nodes, owed, names, &inserted);
  tree_node* head = splice(inserted.items);
  if (names) grow_rd(inserted);
  grow_nodes(inserted.items);
  return head;
}

tree_node* insert_walking(tree_node* list, const std::vector<tree_node*>& nodes, uint32_t owed, tree_node** last) {
  tree_node* head = list;
  tree_node* before = nullptr;  // the node the walk has passed last
  tree_node* next = head;       // the first node whose key may exceed the item's
  uint32_t previous = 0;
  for (tree_node* node : nodes) {
    const auto key = order_key(node->item);
    if (!key) unexpected_end_of_report();
    const uint32_t time = key_time(*key, owed);
    if (time < previous) {
      before = nullptr;
      next = head;
    }
    previous = time;
    for (; next; before = next, next = next->next) {
      const auto other = order_key(next->item);
      if (other && key_time(*other, owed) > time) break;
    }
    node->next = next;
    (before ? before->next : head) = node;
    before = node;
  }
  tree_node* end = before ? before : head;
  while (end && end->next) end = end->next;
  *last = end;
  return head;
}
