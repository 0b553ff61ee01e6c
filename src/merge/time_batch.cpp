#include "merge/time_batch.h"

#include <algorithm>
#include <cstdint>

#include "merge/time_points.h"
#include "report/report_errors.h"

// insert_by_time puts an item before the first node whose key is greater, so
// the first original node that receives it is the first one whose running
// maximum key exceeds the item's key; the items that land before one original
// node stay sorted by key, equal keys in insertion order. Keyless original
// nodes never receive an item.
objet* insert_all_by_time(objet* list, const std::vector<objet*>& items, objet** last) {
  struct placed {
    size_t gap;
    uint32_t key;
    objet* item;
  };
  std::vector<objet*> nodes;
  std::vector<int64_t> running_max;
  int64_t highest = -1;
  for (objet* node = list; node; node = node->next) {
    if (objet* key = order_key(node->item)) highest = std::max<int64_t>(highest, key_time(key));
    nodes.push_back(node);
    running_max.push_back(highest);
  }
  std::vector<placed> inserted;
  inserted.reserve(items.size());
  for (objet* item : items) {
    objet* key = order_key(item);
    if (!key) unexpected_end_of_report();
    uint32_t value = key_time(key);
    size_t gap = std::upper_bound(running_max.begin(), running_max.end(), int64_t{value}) -
                 running_max.begin();
    inserted.push_back({gap, value, item});
  }
  std::stable_sort(inserted.begin(), inserted.end(), [](const placed& a, const placed& b) {
    return a.gap != b.gap ? a.gap < b.gap : a.key < b.key;
  });

  objet* head = nullptr;
  objet* tail = nullptr;
  auto link = [&](objet* node) {
    node->next = nullptr;
    if (tail)
      tail->next = node;
    else
      head = node;
    tail = node;
  };
  size_t next_item = 0;
  for (size_t gap = 0; gap <= nodes.size(); ++gap) {
    while (next_item < inserted.size() && inserted[next_item].gap == gap)
      link(list1(inserted[next_item++].item));
    if (gap < nodes.size()) link(nodes[gap]);
  }
  if (last) *last = tail;
  return head;
}
