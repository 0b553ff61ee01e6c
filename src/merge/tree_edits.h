#pragma once

// The edits by which the merges move items from an incoming report into the
// merged tree.

#include "report/objet.h"

// Prepending keeps the chain's head node, so the chain stays the same for
// whoever holds it.
inline void put_first(objet* chain, objet* item) {
  chain->next = make_list(chain->item, chain->next);
  chain->item = item;
}

inline void put_after(objet* node, objet* item) { node->next = make_list(item, node->next); }

// The item of holder, which keeps an empty item.
inline objet* take(objet* holder) {
  objet* item = holder->item;
  holder->item = nullptr;
  return item;
}
