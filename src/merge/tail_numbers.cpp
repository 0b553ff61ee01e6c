#include "merge/tail_numbers.h"

bool tail_numbers::holds(const record* r, uint32_t start, int32_t number) {
  if (r != record_ || start != start_) {
    *this = tail_numbers{};
    record_ = r;
    start_ = start;
    next_ = start;
  }
  read_on();
  return numbers_.count(number) != 0;
}

void tail_numbers::read_on() {
  for (const uint32_t end = record_->size(); next_ <= end; ++next_) {
    const field value = record_->at(next_);
    if (number_at_next_ && value.is_numeric()) numbers_.insert(value.number);
    number_at_next_ = !number_at_next_;
  }
}
