#include "merge/time_order.h"

#include <algorithm>

#include "report/report_errors.h"
#include "report/shapes.h"
#include "report/time_points.h"
#include "util/large_blocks.h"
#include "util/near_search.h"

static const int64_t NO_KEY = INT64_MIN;

void time_order::take_key(bool fixed, int64_t value) {
  low_ = std::min(low_, value);
  high_ = std::max(high_, value);
  fixed_ |= fixed;
}

// The item's RD records join the order's; false when it holds none.
bool time_order::take_rendezvous(tree_item item, size_t node, rendezvous_names* names, rd_span* span) {
  const auto first = static_cast<uint32_t>(refs_.size());
  names->collect_item(item, &refs_);
  *span = {static_cast<uint32_t>(node), first, static_cast<uint32_t>(refs_.size())};
  return span->end != first;
}

void time_order::read(tree_node* list, uint32_t owed, rendezvous_names* names) {
  nodes_.clear();
  running_max_.clear();
  spans_.clear();
  refs_.clear();
  keys_moved_ = 0;
  owed_ = owed;
  low_ = INT64_MAX;
  high_ = INT64_MIN;
  fixed_ = false;
  kinds_ = 0;
  int64_t highest = NO_KEY;
  for (tree_node* node = list; node; node = node->next) {
    if (const auto key = order_key(node->item)) {
      take_key(key->fixed, key_time(*key, owed));
      highest = std::max<int64_t>(highest, key_time(*key, owed));
    }
    kinds_ |= kind_bit(node->item);
    rd_span span;
    if (names && take_rendezvous(node->item, nodes_.size(), names, &span)) spans_.push_back(span);
    nodes_.push_back(node);
    running_max_.push_back(highest);
  }
  keeps_rd_ = names != nullptr;
}

bool time_order::rendezvous(const tree_node* list, std::vector<rd_ref>* refs) const {
  if (!follows(list) || !keeps_rd_) return false;
  // Most items hold one RD record: a range insertion apiece would cost more than the copy.
  for (const rd_span& span : spans_) {
    for (uint32_t i = span.first; i < span.end; ++i) refs->push_back(refs_[i]);
  }
  return true;
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
static void sort_nearly_in_order(time_order::placing* items) {
  using placed = time_order::placed;
  const auto earlier = [](const placed& a, const placed& b) { return a.gap != b.gap ? a.gap < b.gap : a.key < b.key; };
  time_order::placing& in = *items;
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
  placing& inserted = *room;
  inserted.clear();
  size_t previous_gap = 0;
  for (tree_node* node : nodes) {
    const tree_item item = node->item;
    const auto key = order_key(item);
    if (!key) unexpected_end_of_report();
    const int64_t value = int64_t{key_time(*key, owed)} - keys_moved_;
    const size_t gap = upper_bound_near(running_max_, value, previous_gap);
    previous_gap = gap;
    take_key(key->fixed, value);
    kinds_ |= kind_bit(item);
    rd_span span{};
    const bool holds_rd = names && take_rendezvous(item, 0, names, &span);
    inserted.push_back({gap, value, node, holds_rd, span});
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
  if (grown > nodes_.capacity() && grown * sizeof(int64_t) < LARGE_BLOCKS_MAPPED_FROM) {
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
      running_max_[at] = inserted[next - 1].key;
    }
    end = gap;
  }
}

// The spans grow from the back too: an original node moves up by the new
// nodes placed before it, and the j-th new node (in list order) lands at its
// gap plus j. Spans before the first gap stay as they are.
void time_order::grow_spans(const std::vector<placed>& inserted) {
  size_t read = spans_.size();
  size_t write = read;
  for (const placed& item : inserted) write += item.holds_rd;
  spans_.resize(write);
  for (size_t next = inserted.size(); next > 0; --next) {
    const placed& item = inserted[next - 1];
    for (; read > 0 && spans_[read - 1].node >= item.gap; --read) {
      spans_[--write] = spans_[read - 1];
      spans_[write].node += static_cast<uint32_t>(next);
    }
    if (!item.holds_rd) continue;
    spans_[--write] = item.span;
    spans_[write].node = static_cast<uint32_t>(item.gap + next - 1);
  }
}

tree_node* time_order::insert(tree_node* list, const std::vector<tree_node*>& nodes, uint32_t owed,
                              rendezvous_names* names, placing* room) {
  if (!follows(list) || !follows_owed(owed) || (names && !keeps_rd_)) read(list, owed, names);
  if (!names) {
    keeps_rd_ = false;
    spans_.clear();
    refs_.clear();
  }
  placing own_room;
  placing& inserted = room ? *room : own_room;
  place(nodes, owed, names, &inserted);
  tree_node* head = splice(inserted);
  if (names) grow_spans(inserted);
  grow_nodes(inserted);
  return head;
}
