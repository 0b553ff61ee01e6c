#include "report/nesting.h"

#include <vector>

#include "merge/classify.h"
#include "report/closing.h"
#include "report/report_errors.h"

// Replaces the run from opener to closer, which follows before, by a block node.
static objet* make_block(objet* before, objet* opener, objet* closer) {
  objet* block = make_list(opener, closer->next);
  closer->next = nullptr;
  before->next = block;
  return block;
}

void nest_flat(objet* head, uint32_t opening, uint32_t closing) {
  const key_set opening_key = key_set_of({opening});
  const key_set closing_key = key_set_of({closing});
  objet* cur = head;
  objet* last_block = nullptr;
  while (cur) {
    objet* before = find_before(cur, opening_key);
    objet* opener = before ? before->next : cur;
    if (!opener) break;
    if (!before) before = last_block;
    objet* before_closer = find_before(opener, closing_key);
    objet* closer = before_closer ? before_closer->next : opener;
    if (!closer) unexpected_end_of_report();
    last_block = make_block(before, opener, closer);
    cur = last_block->next;
  }
}

// Openers and closing records nest like brackets. Each open level keeps the
// node before its opener on an explicit stack, so that no nesting depth can
// exhaust the call stack.
void nest_balanced(objet* head, uint32_t opening, uint32_t closing) {
  const key_set keys = key_set_of({opening, closing});
  struct open_level {
    objet* before;
    objet* opener;
  };
  std::vector<open_level> levels;
  objet* previous = nullptr;
  objet* cur = head;
  for (;;) {
    objet* level_end = nullptr;  // the closing record that ends the current level
    while (cur) {
      objet* before = find_before(cur, keys);
      objet* x = before ? before->next : cur;
      if (!x) break;
      if (x->item->item->kind != opening) {
        level_end = x;
        break;
      }
      levels.push_back({before ? before : previous, x});
      previous = x;
      cur = x->next;
    }
    if (levels.empty()) {
      if (level_end) unexpected_end_of_report();
      break;
    }
    if (!level_end) unexpected_end_of_report();
    open_level level = levels.back();
    levels.pop_back();
    previous = make_block(level.before, level.opener, level_end);
    cur = previous->next;
  }
}

void split_top(objet* head) {
  objet* first = head->next;
  if (!first || !first->next) unexpected_end_of_report();
  objet* before_last = first;
  while (before_last->next->next) before_last = before_last->next;
  objet* last = before_last->next;
  before_last->next = list1(last);
  if (before_last == first) {
    first->next = make_list(nullptr, first->next);
  } else {
    nest_range(first, before_last);
  }
  head->next = make_list(first, first->next);
  first->next = nullptr;
}

struct nesting_pair {
  uint32_t opening;
  uint32_t closing;
  bool balanced;
};

static const nesting_pair nesting_pairs[] = {
    {KIND_XX, KIND_TP, false}, {KIND_ER, KIND_TP, false}, {KIND_EX, KIND_TP, false},
    {KIND_DA, KIND_FA, true},  {KIND_PP, KIND_FQ, true},  {KIND_EV, KIND_FV, true},
    {KIND_CO, KIND_FO, false}, {KIND_SN, KIND_FN, false}, {KIND_DW, KIND_FF, false},
    {KIND_XI, KIND_YI, true},  {KIND_DT, KIND_YT, true},  {KIND_XE, KIND_FE, true},
    {KIND_DS, KIND_FS, true},  {KIND_RE, KIND_FR, true},  {KIND_DB, KIND_BF, true},
};

objet* nest_blocks(objet* chain) {
  objet* head = keyword_only_node("  ", 1);
  head->next = chain;
  // Nesting only takes records off the top level: a pass whose keys are
  // absent there would change nothing (a closing record alone still fails).
  const key_set present = kinds_present(chain);
  for (const nesting_pair& pair : nesting_pairs) {
    const key_set keys = key_set_of({pair.opening}) | (pair.balanced ? key_set_of({pair.closing}) : 0);
    if (!(present & keys)) continue;
    if (pair.balanced) {
      nest_balanced(head, pair.opening, pair.closing);
    } else {
      nest_flat(head, pair.opening, pair.closing);
    }
  }
  split_top(head);
  // The passes leave no other mark (filtering compacted the chain): only
  // the head goes, without a walk over the whole tree.
  return drop_first(head);
}
