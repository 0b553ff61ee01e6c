#pragma once

// Shape tests over report trees: what is a record, a block, a group, and
// where the first element of a kind stands in a list. The keyword tests
// they use compare whole keyword cells (see is_exactly).

#include "merge/record_kinds.h"
#include "report/objet.h"

inline bool is_record(const objet* x) { return is_list(x) && is_string(x->item); }

// A shaped report, and the merged tree, are three sections: the first
// records, the body, the last records. The body's chain, if any.
inline objet* body_of(objet* tree) {
  objet* body = is_list(tree) ? tree->next : nullptr;
  return is_list(body) ? body->item : nullptr;
}
// A list whose first item is a record and which carries two items at least.
bool is_block(const objet* x);
bool starts_with_block(const objet* x);
// The first record of list whose keyword is exactly that of kind.
objet* find_record(objet* list, uint32_t kind);
bool is_block_of(objet* x, uint32_t kind);   // a block holding such a record
bool opens_block_of(objet* x, uint32_t kind);  // a block whose first record begins with the kind's letters

// First-element searches over a list: the first node whose item passes the
// test; they stop with nothing at the first node that is not a list node.
objet* first_holder_of(objet* list, uint32_t kind);  // an item holding such a record
objet* first_block_of(objet* list, uint32_t kind);   // an item that is a block holding one

// A group starts with a block and has a block holding a DS or an XI record;
// block_of(list, kind) is first_block_of, or a search that gives the same
// for the lists it is asked about (the merge cache's, for merged groups).
template <typename Block_of>
bool opens_group(objet* x, Block_of block_of) {
  return starts_with_block(x) && (block_of(x, KIND_DS) || block_of(x, KIND_XI));
}
inline bool opens_group(objet* x) { return opens_group(x, first_block_of); }
// A list of groups only.
template <typename Block_of>
bool all_open_groups(objet* x, Block_of block_of) {
  if (!is_list(x) || !is_list(x->item)) return false;
  for (objet* node = x; node; node = node->next) {
    if (!is_list(node) || !opens_group(node->item, block_of)) return false;
  }
  return true;
}
inline bool all_open_groups(objet* x) { return all_open_groups(x, first_block_of); }
