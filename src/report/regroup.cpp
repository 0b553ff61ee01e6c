#include "report/regroup.h"

#include <cstring>
#include <utility>
#include <vector>

#include "merge/shapes.h"
#include "merge/fields.h"

static bool selects_block(objet* record) {
  if (!is_record(record)) return false;
  objet* first = field_at(record, SELECTION);
  return is_string(first) && first->length >= 3 && memcmp(first->text, "\"1\"", 3) == 0;
}

static bool has_selected_record(objet* block) {
  for (objet* node = block; is_list(node); node = node->next) {
    if (selects_block(node->item)) return true;
  }
  return false;
}

// Visits every node of every chain reached from chain; visit returns the
// chain to walk below its node, or null. Pending chains are kept on an
// explicit stack: report trees may nest deeper than the call stack allows.
static void walk_levels(objet* chain, objet* (*visit)(objet* node)) {
  std::vector<objet*> pending{chain};
  while (!pending.empty()) {
    objet* n = pending.back();
    pending.pop_back();
    for (; is_list(n); n = n->next) {
      if (objet* below = visit(n)) pending.push_back(below);
    }
  }
}

static bool unselected_pp_or_da(objet* item) {
  return (opens_block_of(item, KIND_PP) || opens_block_of(item, KIND_DA)) && !has_selected_record(item);
}

// Each chain is unlinked in place, the chains below waiting on an explicit
// stack: a pass that marked and then compacted walked every field too.
objet* prune_blocks(objet* report) {
  std::vector<objet**> pending{&report->next};
  while (!pending.empty()) {
    objet** link = pending.back();
    pending.pop_back();
    while (is_list(*link)) {
      objet* node = *link;
      if (unselected_pp_or_da(node->item)) {
        *link = drop_first(node);
        continue;
      }
      // Fields are atoms: no block lies within a record.
      if (is_list(node->item) && !is_record(node->item)) pending.push_back(&node->item);
      link = &node->next;
    }
  }
  return report;
}

static bool holds_dt_or_xe(objet* element) { return find_record(element, KIND_DT) || find_record(element, KIND_XE); }

using deferred_regroups = std::vector<std::pair<objet*, objet*>>;

// Takes the XI block, DS block and DT or XE element at the start of v into
// one group; returns null when nothing is taken. A DS block whose contents
// open groups gets a holder in their place, regrouped later from deferred:
// nothing looks into a DS block once it is taken, so the order does not
// matter and nesting depth costs no call stack.
static objet* take_group(objet** v, deferred_regroups* deferred) {
  objet* first = nullptr;
  objet* last = nullptr;
  auto take = [&](objet* node) {
    if (!first) first = node;
    last = node;
    *v = node->next;
  };
  if (*v && is_block_of((*v)->item, KIND_XI)) take(*v);
  if (*v && is_block_of((*v)->item, KIND_DS)) {
    objet* ds = (*v)->item;
    if (opens_group(ds->next)) {
      objet* inner = new_node();
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
static objet* regroup_chain(objet* holder, objet* chain, deferred_regroups* deferred) {
  objet* v = chain;
  objet* groups = take_group(&v, deferred);
  objet* last_group = groups;
  while (last_group && starts_with_block(v)) last_group = last_group->next = take_group(&v, deferred);
  holder->next = v;
  return groups;
}

static objet* regroup(objet* holder, objet* chain) {
  deferred_regroups deferred;
  objet* groups = regroup_chain(holder, chain, &deferred);
  while (!deferred.empty()) {
    auto [inner, contents] = deferred.back();
    deferred.pop_back();
    inner->item = regroup_chain(inner, contents, &deferred);
  }
  return groups;
}

static objet* regroup_node(objet* n) {
  objet* c = n->item;
  if (!is_list(c)) return nullptr;
  if (!opens_group(c)) return c;
  objet* holder = new_node();
  n->item = holder;
  holder->item = regroup(holder, c);
  return nullptr;
}

objet* regroup_all(objet* chain) {
  walk_levels(chain, regroup_node);
  return chain;
}
