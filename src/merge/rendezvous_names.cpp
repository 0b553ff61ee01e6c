#include "merge/rendezvous_names.h"

#include "merge/rendezvous_marks.h"
#include "report/record_kinds.h"
#include "report/record_walk.h"

uint32_t rendezvous_names::number_of(std::string_view name) {
  auto known = numbers_.find(name);
  if (known != numbers_.end()) return known->second;
  const uint32_t number = count();
  numbers_.emplace(texts_.emplace_back(name), number);
  return number;
}

void rendezvous_names::collect_record(record* r, std::vector<rd_ref>* refs) {
  if (r->kind() != KIND_RD || !is_exactly(*r, KIND_RD)) return;
  if (const field name = r->at(RD_NAME); name.is_text()) refs->push_back({r, number_of(name.text)});
}

void rendezvous_names::collect(tree_node* chain, std::vector<rd_ref>* refs) {
  auto take = [this, refs](tree_node* holder) {
    collect_record(holder->item.rec(), refs);
    return false;
  };
  walk_records(chain, take, NO_RD_MARK);
}

void rendezvous_names::collect_item(tree_item item, std::vector<rd_ref>* refs) {
  if (record* r = item.rec())
    collect_record(r, refs);
  else if (tree_node* list = item.list(); list && !holds_no_rd(list))
    collect(list, refs);
}
