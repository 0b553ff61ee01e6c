#include "merge/rendezvous_names.h"

#include "merge/fields.h"
#include "merge/record_walk.h"
#include "merge/rendezvous_marks.h"

uint32_t rendezvous_names::number_of(const objet* name) {
  const name_view view = view_of(name);
  auto known = numbers_.find(view);
  if (known != numbers_.end()) return known->second;
  texts_.emplace_back(view.text);
  const uint32_t number = count() - 1;
  numbers_.emplace(name_view{view.length, texts_.back()}, number);
  return number;
}

void rendezvous_names::collect_record(objet* record, std::vector<rd_ref>* refs) {
  if (kind_of(record) != KIND_RD || !is_exactly(record, KIND_RD)) return;
  if (objet* name = string_at(record, RD_NAME)) refs->push_back({record, number_of(name)});
}

void rendezvous_names::collect(objet* chain, std::vector<rd_ref>* refs) {
  auto take = [this, refs](objet* holder) {
    collect_record(holder->item, refs);
    return false;
  };
  walk_records(chain, take, NO_RD_MARK);
}

void rendezvous_names::collect_item(objet* item, std::vector<rd_ref>* refs) {
  if (is_record(item))
    collect_record(item, refs);
  else if (is_list(item) && !(item->flags & NO_RD_MARK))
    collect(item, refs);
}
