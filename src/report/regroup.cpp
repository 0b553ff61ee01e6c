#include "report/regroup.h"

#include <utility>
#include <vector>

#include "report/shapes.h"
#include "report/record.h"

static bool selects_block(tree_item item) {
  const record* r = item.rec();
  if (!r) return false;
  const field first = r->at(SELECTION);
  return first.is_text() && first.text.substr(0, 3) == "\"1\"";
}

static bool has_selected_record(tree_item block) {
  for (tree_node* node = block.list(); node; node = node->next) {
    if (selects_block(node->item)) return true;
  }
  return false;
}

// Visits every node of every chain reached from chain; visit returns the
// chain to walk below its node, or null. Pending chains are kept on an
// explicit stack: report trees may nest deeper than the call stack allows.
static void walk_levels(tree_node* chain, tree_node* (*visit)(tree_node* node)) {
  std::vector<tree_node*> pending{chain};
  while (!pending.empty()) {
    tree_node* n = pending.back();
    pending.pop_back();
    for (; n; n = n->next) {
      if (tree_node* below = visit(n)) pending.push_back(below);
    }
  }
}

static bool unselected_pp_or_da(tree_item item) {
  return (opens_block_of(item, KIND_PP) || opens_block_of(item, KIND_DA)) && !has_selected_record(item);
}

// Unlinks the unselected blocks of one chain, whose lists wait in pending
// for their turn: a list is judged as an element before its own elements
// are, and the levels below wait on a stack of their own.
static tree_node* prune_chain(tree_node* chain, std::vector<tree_node*>* pending) {
  while (chain && unselected_pp_or_da(chain->item)) chain = drop_first(chain);
  for (tree_node* node = chain; node; node = node->next) {
    if (node->item.is_list()) pending->push_back(node);
    while (node->next && unselected_pp_or_da(node->next->item)) node->next = drop_first(node->next);
  }
  return chain;
}

tree_node* prune_blocks(tree_node* report) {
  std::vector<tree_node*> pending;
  report->next = prune_chain(report->next, &pending);
  while (!pending.empty()) {
    tree_node* holder = pending.back();
    pending.pop_back();
    holder->item = prune_chain(holder->item.list(), &pending);
  }
  return report;
}

static bool holds_dt_or_xe(tree_item element) {
  return find_record(element, KIND_DT) || find_record(element, KIND_XE);
}

using deferred_regroups = std::vector<std::pair<tree_node*, tree_node*>>;

// Takes the XI block, DS block and DT or XE element at the start of v into
// one group; returns null when nothing is taken. A DS block whose contents
// open groups gets a holder in their place, regrouped later from deferred:
// nothing looks into a DS block once it is taken, so the order does not
// matter and nesting depth costs no call stack.
static tree_node* take_group(tree_node** v, deferred_regroups* deferred) {
  tree_node* first = nullptr;
  tree_node* last = nullptr;
  auto take = [&](tree_node* node) {
    if (!first) first = node;
    last = node;
    *v = node->next;
  };
  if (*v && is_block_of((*v)->item, KIND_XI)) take(*v);
  if (*v && is_block_of((*v)->item, KIND_DS)) {
    tree_node* ds = (*v)->item.list();
    if (opens_group(ds->next)) {
      tree_node* inner = new_node();
      deferred->push_back({inner, ds->next});
      ds->next = inner;
    }
    take(*v);
  }
  if (*v && holds_dt_or_xe((*v)->item)) take(*v);
  if (!first) return nullptr;
  last->next = nullptr;
  return list1(first);
}

// A chain that starts with some other block takes nothing: instead of
// looping on it, the remaining elements follow the holder.
static tree_node* regroup_chain(tree_node* holder, tree_node* chain, deferred_regroups* deferred) {
  tree_node* v = chain;
  tree_node* groups = take_group(&v, deferred);
  tree_node* last_group = groups;
  while (last_group && starts_with_block(v)) last_group = last_group->next = take_group(&v, deferred);
  holder->next = v;
  return groups;
}

static tree_node* regroup(tree_node* holder, tree_node* chain) {
  deferred_regroups deferred;
  tree_node* groups = regroup_chain(holder, chain, &deferred);
  while (!deferred.empty()) {
    auto [inner, contents] = deferred.back();
    deferred.pop_back();
    inner->item = regroup_chain(inner, contents, &deferred);
  }
  return groups;
}

static tree_node* regroup_node(tree_node* n) {
  tree_node* c = n->item.list();
  if (!c) return nullptr;
  if (!opens_group(c)) return c;
  tree_node* holder = new_node();
  n->item = holder;
  holder->item = regroup(holder, c);
  return nullptr;
}

tree_node* regroup_all(tree_node* chain) {
  walk_levels(chain, regroup_node);
  return chain;
}
