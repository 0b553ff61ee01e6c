#include "merge/merge_cache.h"

#include "merge/rendezvous_marks.h"
#include "report/record_walk.h"
#include "report/shapes.h"

const time_order* merge_cache::kept_order(tree_node* block) const {
  if (!block || !block->next) return nullptr;
  auto known = block_orders_.find(block);
  return known == block_orders_.end() || !known->second.follows(block->next) ? nullptr : &known->second;
}

bool merge_cache::holds_record(tree_item item, uint32_t kind) const {
  if (const time_order* order = kept_order(item.list())) {
    tree_node* closing = order->last_node()->next;
    const uint64_t kinds = order->kinds() | kind_bit(item.list()->item) | (closing ? kind_bit(closing->item) : 0);
    if (!(kinds >> kind & 1)) return false;
  }
  return find_record(item, kind) != nullptr;
}

tree_node* merge_cache::first_holding(tree_node* group, uint32_t kind, bool blocks_only) const {
  for (tree_node* node = group; node; node = node->next) {
    if ((!blocks_only || is_block(node->item)) && holds_record(node->item, kind)) return node;
  }
  return nullptr;
}

block_end merge_cache::end_of(tree_node* block) const {
  if (const time_order* order = kept_order(block)) {
    tree_node* before = order->last_node();
    return {before, before->next ? before->next : before};
  }
  return block_end_of(block);
}

static bool shorter_than(const tree_node* chain, size_t nodes) {
  for (; chain; chain = chain->next)
    if (nodes-- <= 1) return false;
  return true;
}

void merge_cache::insert_into_block(tree_node* block, const block_end& end, const std::vector<tree_node*>& nodes,
                                    uint32_t owed) {
  tree_node* closing = end.before->next;
  end.before->next = nullptr;
  tree_node* last = nullptr;
  auto known = block_orders_.find(block);
  // A short block is walked: an order would not pay for its memory (most
  // merged blocks are short, and a run holds them all), nor for its reading,
  // and the RD records of the block are found by a walk anyway.
  if (known == block_orders_.end() && nodes.size() < SHORT_BLOCK &&
      shorter_than(block->next, SHORT_BLOCK - nodes.size())) {
    block->next = insert_walking(block->next, nodes, owed, &last);
  } else {
    time_order& order = known != block_orders_.end() ? known->second : block_orders_[block];
    block->next = order.insert(block->next, nodes, owed, &names_, &placing_room_);
    last = order.last_node();
  }
  (last ? last : block)->next = closing;
}

void merge_cache::append_tail(tree_node* chain, tree_node* tail) {
  auto known = last_nodes_.find(chain);
  (known != last_nodes_.end() ? known->second : last_node(chain))->next = tail;
  last_nodes_[chain] = last_node(tail);
}

static void append(std::vector<rd_ref>* refs, const std::vector<rd_ref>& kept) {
  refs->insert(refs->end(), kept.begin(), kept.end());
}

// The records of chain's run that an order keeps (the body's nodes, or a
// block's after its opening record), and the node the walk goes on from;
// chain itself when no order is kept for it.
tree_node* merge_cache::take_kept_run(tree_node* chain, std::vector<rd_ref>* refs) {
  if (!chain) return chain;
  if (const std::vector<rd_ref>* kept = body_order_.rendezvous(chain)) {
    append(refs, *kept);
    return body_order_.last_node()->next;
  }
  auto known = chain->item.is_record() ? block_orders_.find(chain) : block_orders_.end();
  if (known == block_orders_.end()) return chain;
  names_.collect_record(chain->item.rec(), refs);
  const std::vector<rd_ref>* kept = known->second.rendezvous(chain->next);
  if (!kept) return chain->next;
  append(refs, *kept);
  return known->second.last_node()->next;
}

const rendezvous_index* merge_cache::merged_rendezvous_by_name(tree_node* chain) const {
  const rendezvous_index* body = body_order_.rendezvous_by_name(chain);
  return body && !body_order_.last_node()->next ? body : nullptr;
}

const std::vector<rd_ref>& merge_cache::merged_rendezvous(tree_node* chain) {
  merged_rd_room_.clear();
  merged_rd_room_.reserve(merged_rd_last_ + merged_rd_last_ / 4);
  auto take = [this](tree_node* holder) {
    names_.collect_record(holder->item.rec(), &merged_rd_room_);
    return false;
  };
  walk_records(chain, take, NO_RD_MARK, [this](tree_node* list) { return take_kept_run(list, &merged_rd_room_); });
  return merged_rd_room_;
}

void merge_cache::done_with_rendezvous() {
  merged_rd_last_ = merged_rd_room_.size();
  std::vector<rd_ref>().swap(merged_rd_room_);
}
