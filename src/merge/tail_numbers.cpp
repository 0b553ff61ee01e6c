#include "merge/tail_numbers.h"

#include <algorithm>

bool tail_numbers::holds(const record* r, uint32_t start, int32_t number) {
  if (r != record_ || start != start_) {
    numbers_.clear();
    record_ = r;
    start_ = start;
    next_ = start;
    number_at_next_ = true;
  }
  read_on();
  return std::binary_search(numbers_.begin(), numbers_.end(), number);
}

void tail_numbers::read_on() {
  for (const uint32_t end = record_->size(); next_ <= end; ++next_) {
    const field value = record_->at(next_);
    if (number_at_next_ && value.is_numeric())
      numbers_.insert(std::upper_bound(numbers_.begin(), numbers_.end(), value.number), value.number);
    number_at_next_ = !number_at_next_;
  }
}
