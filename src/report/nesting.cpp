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

void nest_flat(objet* head, const char* opening, const char* closing) {
  objet* opening_key = list1(make_string(opening));
  objet* closing_key = list1(make_string(closing));
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
  free_objet(opening_key);
  free_objet(closing_key);
}

// Openers and closing records nest like brackets. Each open level keeps the
// node before its opener on an explicit stack, so that no nesting depth can
// exhaust the call stack.
void nest_balanced(objet* head, const char* opening, const char* closing) {
  objet* keys = list2(make_string(opening), make_string(closing));
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
      if (!keyword_is(x->item->item, opening)) {
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
  free_objet(keys);
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
  const char* opening;
  const char* closing;
  bool balanced;
};

static const nesting_pair nesting_pairs[] = {
    {"XX", "TP", false}, {"ER", "TP", false}, {"EX", "TP", false}, {"DA", "FA", true},
    {"PP", "FQ", true},  {"EV", "FV", true},  {"CO", "FO", false}, {"SN", "FN", false},
    {"DW", "FF", false}, {"XI", "YI", true},  {"DT", "YT", true},  {"XE", "FE", true},
    {"DS", "FS", true},  {"RE", "FR", true},  {"DB", "BF", true},
};

objet* nest_blocks(objet* chain) {
  objet* head = keyword_only_node("  ", 1);
  head->next = chain;
  for (const nesting_pair& pair : nesting_pairs) {
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
