#include "merge/merge_cache.h"

#include "merge/shapes.h"

const time_order* merge_cache::kept_order(objet* block) const {
  if (!is_list(block) || !block->next) return nullptr;
  auto known = block_orders_.find(block);
  return known == block_orders_.end() || known->second.nodes.empty() ? nullptr : &known->second;
}

static uint64_t kind_bit(objet* item) { return is_record(item) ? uint64_t{1} << kind_of(item) : 0; }

bool merge_cache::holds_record(objet* item, uint32_t kind) const {
  if (const time_order* order = kept_order(item)) {
    objet* closing = order->nodes.back()->next;
    const uint64_t kinds = order->kinds | kind_bit(item->item) | (closing ? kind_bit(closing->item) : 0);
    if (!(kinds >> kind & 1)) return false;
  }
  return find_record(item, kind) != nullptr;
}

objet* merge_cache::first_holding(objet* group, uint32_t kind, bool blocks_only) const {
  for (objet* node = group; is_list(node); node = node->next) {
    if ((!blocks_only || is_block(node->item)) && holds_record(node->item, kind)) return node;
  }
  return nullptr;
}

block_end merge_cache::end_of(objet* block) const {
  if (const time_order* order = kept_order(block)) {
    objet* before = order->nodes.back();
    return {before, before->next ? before->next : before};
  }
  objet* node = block;
  while (node->next && node->next->next) node = node->next;
  return {node, node->next ? node->next : node};
}

void merge_cache::insert_into_block(objet* block, const block_end& end, const std::vector<objet*>& items,
                                    uint32_t offset) {
  objet* closing = end.before->next;
  end.before->next = nullptr;
  objet* last = nullptr;
  block->next = insert_all_by_time(block->next, items, &block_orders_[block], offset, &last);
  (last ? last : block)->next = closing;
}

void merge_cache::append_tail(objet* record, objet* tail) {
  auto known = last_fields_.find(record);
  (known != last_fields_.end() ? known->second : last_node(record))->next = tail;
  last_fields_[record] = last_node(tail);
}
