#include "merge/time_order.h"

#include <algorithm>

#include "report/report_errors.h"
#include "report/shapes.h"
#include "report/time_points.h"

static const int64_t NO_KEY = INT64_MIN;

static void take_key(time_order* order, time_key key, int64_t value) {
  order->low = std::min(order->low, value);
  order->high = std::max(order->high, value);
  order->fixed |= key.fixed;
}

static uint64_t kind_bit(tree_item item) { return item.is_record() ? uint64_t{1} << item.rec()->kind() : 0; }

// The item's RD records join the order's; false when it holds none.
static bool span_of(tree_item item, size_t node, time_order* order, rendezvous_names* names, time_order::rd_span* span) {
  const auto first = static_cast<uint32_t>(order->refs.size());
  names->collect_item(item, &order->refs);
  *span = {static_cast<uint32_t>(node), first, static_cast<uint32_t>(order->refs.size())};
  return span->end != first;
}

static void read_order(objet* list, time_order* order, uint32_t offset, rendezvous_names* names) {
  order->restart(offset);
  int64_t highest = NO_KEY;
  for (objet* node = list; node; node = node->next) {
    if (const auto key = order_key(node->item)) {
      take_key(order, *key, key_time(*key, offset));
      highest = std::max<int64_t>(highest, key_time(*key, offset));
    }
    order->kinds |= kind_bit(node->item);
    time_order::rd_span span;
    if (names && span_of(node->item, order->nodes.size(), order, names, &span)) order->spans.push_back(span);
    order->nodes.push_back(node);
    order->running_max.push_back(highest);
  }
  order->keeps_rd = names != nullptr;
}

bool kept_rendezvous(const time_order& order, objet* list, std::vector<rd_ref>* refs) {
  if (order.nodes.empty() || order.nodes.front() != list || !order.keeps_rd) return false;
  // Most items hold one RD record: a range insertion apiece would cost more than the copy.
  for (const time_order::rd_span& span : order.spans) {
    for (uint32_t i = span.first; i < span.end; ++i) refs->push_back(order.refs[i]);
  }
  return true;
}

// Whether the order still holds under the present offset, its shift moved
// along with the stored times.
static bool follows_offset(time_order* order, uint32_t offset) {
  if (order->offset == offset) return true;
  if (order->fixed) return false;
  const uint32_t moved = offset - order->offset;
  order->offset = offset;
  if (order->low > order->high) return true;
  const int64_t wrap = int64_t{1} << 32;
  const bool low_wraps = order->low + order->shift + moved >= wrap;
  const bool high_wraps = order->high + order->shift + moved >= wrap;
  if (low_wraps != high_wraps) return false;
  order->shift += low_wraps ? int64_t{moved} - wrap : int64_t{moved};
  return true;
}

// One insertion puts an item before the first node whose key is greater, so
// the first original node that receives it is the first one whose running
// maximum key exceeds the item's key; the items that land before one original
// node stay sorted by key, equal keys in insertion order, and each one's
// running maximum is its own key. Keyless original nodes never receive an
// item.
objet* insert_all_by_time(objet* list, const std::vector<tree_item>& items, time_order* order, uint32_t offset,
                          objet** tail, rendezvous_names* names) {
  struct placed {
    size_t gap;
    int64_t key;
    objet* node;
    bool holds_rd;
    time_order::rd_span span;  // its node set once placed
  };
  if (order->nodes.empty() || order->nodes.front() != list || !follows_offset(order, offset) ||
      (names && !order->keeps_rd))
    read_order(list, order, offset, names);
  if (!names) {
    order->keeps_rd = false;
    order->spans.clear();
    order->refs.clear();
  }
  std::vector<objet*>& nodes = order->nodes;
  std::vector<int64_t>& running_max = order->running_max;

  std::vector<placed> inserted;
  inserted.reserve(items.size());
  for (tree_item item : items) {
    const auto key = order_key(item);
    if (!key) unexpected_end_of_report();
    const int64_t value = int64_t{key_time(*key, offset)} - order->shift;
    size_t gap = std::upper_bound(running_max.begin(), running_max.end(), value) - running_max.begin();
    take_key(order, *key, value);
    order->kinds |= kind_bit(item);
    time_order::rd_span span{};
    const bool holds_rd = names && span_of(item, 0, order, names, &span);
    inserted.push_back({gap, value, list1(item), holds_rd, span});
  }
  std::stable_sort(inserted.begin(), inserted.end(), [](const placed& a, const placed& b) {
    return a.gap != b.gap ? a.gap < b.gap : a.key < b.key;
  });

  // Splices each run of new nodes before its original node; the others keep
  // their links.
  const size_t original = nodes.size();
  objet* head = original ? nodes.front() : nullptr;
  for (size_t i = 0; i < inserted.size();) {
    const size_t gap = inserted[i].gap;
    objet* first = inserted[i].node;
    for (; i + 1 < inserted.size() && inserted[i + 1].gap == gap; ++i) inserted[i].node->next = inserted[i + 1].node;
    inserted[i].node->next = gap < original ? nodes[gap] : nullptr;
    ++i;
    if (gap == 0)
      head = first;
    else
      nodes[gap - 1]->next = first;
  }

  // The order grows from the back: the original nodes from each gap on move
  // up by the new nodes not yet placed, which go just before them.
  nodes.resize(original + inserted.size());
  running_max.resize(original + inserted.size());
  auto move_up = [](auto& entries, size_t from, size_t end, size_t by) {
    std::move_backward(entries.begin() + from, entries.begin() + end, entries.begin() + end + by);
  };
  size_t end = original;
  for (size_t next = inserted.size(); next > 0;) {
    const size_t gap = inserted[next - 1].gap;
    move_up(nodes, gap, end, next);
    move_up(running_max, gap, end, next);
    for (; next > 0 && inserted[next - 1].gap == gap; --next) {
      const size_t at = gap + next - 1;
      nodes[at] = inserted[next - 1].node;
      running_max[at] = inserted[next - 1].key;
    }
    end = gap;
  }

  // The spans grow from the back too: an original node moves up by the new
  // nodes placed before it, and the j-th new node (in list order) lands at
  // its gap plus j. Spans before the first gap stay as they are.
  if (names) {
    std::vector<time_order::rd_span>& spans = order->spans;
    size_t read = spans.size();
    size_t write = read;
    for (const placed& item : inserted) write += item.holds_rd;
    spans.resize(write);
    for (size_t next = inserted.size(); next > 0; --next) {
      const placed& item = inserted[next - 1];
      for (; read > 0 && spans[read - 1].node >= item.gap; --read) {
        spans[--write] = spans[read - 1];
        spans[write].node += static_cast<uint32_t>(next);
      }
      if (!item.holds_rd) continue;
      spans[--write] = item.span;
      spans[write].node = static_cast<uint32_t>(item.gap + next - 1);
    }
  }
  if (tail) *tail = nodes.empty() ? nullptr : nodes.back();
  return head;
}
