#include "merge/tail_numbers.h"

#include "merge/fields.h"

bool tail_numbers::holds(objet* record, int start, int32_t number) {
  if (record != record_ || start != start_) *this = tail_numbers{};
  record_ = record;
  start_ = start;
  read_on();
  return numbers_.count(number) != 0;
}

void tail_numbers::read_on() {
  objet* node = last_read_ ? last_read_->next : node_at(record_, start_);
  for (; is_list(node); node = node->next) {
    if (number_after_ && is_number(node->item)) numbers_.insert(node->item->value);
    last_read_ = node;
    number_after_ = !number_after_;
  }
}
