#pragma once

#include <unordered_map>

#include "merge/group_index.h"
#include "merge/time_batch.h"
#include "report/objet.h"

// What the merges keep from one report to the next, so that a report's merge
// touches the merged tree where it changes it rather than all over: the order
// of the lists that grow with every report (the time variant's body, the
// merged blocks' inner items), the group matching's index of each group list,
// and the last field of the records whose report-number tails grow. It holds for one merged tree while no step but
// the merges changes these lists and records, and while its keys keep their
// stored values (see time_base, which drops it when the times settle).
struct merge_cache {
  time_order body_order;
  std::unordered_map<objet*, time_order> block_orders;  // by the block's first node
  std::unordered_map<objet*, objet*> last_fields;       // by record
  std::unordered_map<objet*, group_index> group_indexes;  // by the list's first node
};
