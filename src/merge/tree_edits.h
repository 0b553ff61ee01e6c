#pragma once

// The edits by which the merges move items from an incoming report into the
// merged tree.

#include <vector>

#include "report/tree_node.h"

// Prepending keeps the chain's head node, so the chain stays the same for
// whoever holds it.
inline void put_first(tree_node* chain, tree_item item) {
  chain->next = make_list(chain->item, chain->next);
  chain->item = item;
}

inline void put_after(tree_node* node, tree_item item) { node->next = make_list(item, node->next); }

// The nodes from *link up to end that carry an item, unlinked in reading
// order into *carriers (emptied first): they join the merged tree as they
// are, the empty ones staying. A merge keeps one vector for all its blocks:
// most hold a few items, and a vector made for each cost more than the work.
inline void unlink_carriers(tree_node** link, const tree_node* end, std::vector<tree_node*>* carriers) {
  carriers->clear();
  while (*link && *link != end) {
    tree_node* node = *link;
    if (node->item) {
      *link = node->next;
      carriers->push_back(node);
    } else {
      link = &node->next;
    }
  }
}

// The item of holder, which keeps an empty item.
inline tree_item take(tree_node* holder) {
  tree_item item = holder->item;
  holder->item = nullptr;
  return item;
}
