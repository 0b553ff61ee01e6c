#include "merge/rendezvous_index.h"

#include <algorithm>

static bool label_below(uint64_t label, const rendezvous_index::entry& e) { return label < e.label; }

void rendezvous_index::file(uint32_t name, const entry& labelled) {
  if (name >= by_name_.size()) by_name_.resize(name + size_t{1});
  std::vector<entry>& named = by_name_[name];
  named.insert(std::upper_bound(named.begin(), named.end(), labelled.label, label_below), labelled);
}

void rendezvous_index::rebuild(const std::vector<rd_ref>& refs) {
  added_.clear();
  for (std::vector<entry>& named : by_name_) named.clear();
  labels_.resize(refs.size());
  const uint64_t step = UINT64_MAX / (refs.size() + 1);
  for (size_t i = 0; i < refs.size(); ++i) {
    labels_[i] = step * (i + 1);
    if (refs[i].name >= by_name_.size()) by_name_.resize(refs[i].name + size_t{1});
    by_name_[refs[i].name].push_back({labels_[i], refs[i].rd});
  }
}

void rendezvous_index::move_up(size_t from, size_t end, size_t by) {
  std::move_backward(labels_.begin() + static_cast<std::ptrdiff_t>(from),
                     labels_.begin() + static_cast<std::ptrdiff_t>(end),
                     labels_.begin() + static_cast<std::ptrdiff_t>(end + by));
}

// Each run of new records takes labels spread evenly between the labels of
// the old records around it (0 and the largest label at the list's ends).
void rendezvous_index::take_new(const std::vector<rd_ref>& refs) {
  std::sort(added_.begin(), added_.end());
  for (size_t i = 0; i < added_.size();) {
    size_t j = i + 1;
    while (j < added_.size() && added_[j] == added_[j - 1] + 1) ++j;
    const size_t first = added_[i], end = added_[j - 1] + 1;
    const uint64_t low = first > 0 ? labels_[first - 1] : 0;
    const uint64_t high = end < labels_.size() ? labels_[end] : UINT64_MAX;
    const uint64_t count = end - first;
    if (high - low <= count) {
      rebuild(refs);
      return;
    }
    const uint64_t step = (high - low) / (count + 1);
    for (size_t at = first; at < end; ++at) {
      labels_[at] = low + step * (at - first + 1);
      file(refs[at].name, {labels_[at], refs[at].rd});
    }
    i = j;
  }
  added_.clear();
}

const rendezvous_index::entry* rendezvous_index::first_after(uint32_t name, uint64_t after) const {
  if (name >= by_name_.size()) return nullptr;
  const std::vector<entry>& named = by_name_[name];
  const auto next = std::upper_bound(named.begin(), named.end(), after, label_below);
  return next == named.end() ? nullptr : &*next;
}
