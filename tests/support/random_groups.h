#pragma once

// Random group lists as regrouping leaves them, for the merge tests that
// compare what the merges keep up to date with what a fresh reading gives:
// XI, DS and DT blocks in every combination a group may have; DS blocks
// named a to c, field 4 "k" or "m", a start of 0 to 4 or none. A block holds
// FT and RD records (rendezvous "r" to "t"; some blocks none), or, a DS
// block above depth 2, at times a group list of its own.

#include <random>
#include <string>

#include "support/report_text.h"

struct random_groups {
  std::mt19937 random;
  int report = 1;

  explicit random_groups(unsigned seed) : random(seed) {}
  unsigned pick(unsigned n) { return random() % n; }
  static std::string q(unsigned n) { return "\"" + std::to_string(n) + "\""; }
  std::string letter(char first) { return std::string(1, static_cast<char>(first + pick(3))); }

  tree_node* block(const std::string& opening, const std::string& closing, int depth) {
    tree_node* head = list1(rec(opening, report));
    if (depth < 2 && opening[0] == 'D' && pick(4) == 0) {
      append(head, list1(group_list(depth + 1)));
    } else {
      const bool with_rd = pick(3);
      for (unsigned i = 0, n = pick(5); i < n; ++i) {
        const std::string t = q(pick(1000));
        const std::string rd = "RD \"" + letter('r') + "\" \"x\" \"0\" " + t + " " + t;
        append(head, list1(rec(with_rd && pick(2) ? rd : "FT " + t + " " + t, report)));
      }
    }
    append(head, list1(rec(closing, report)));
    return head;
  }
  tree_node* xi_block(int depth) { return block("XI " + q(pick(1000)) + " \"0\" \"0\"", "YI " + q(pick(1000)) + " \"y\"", depth); }
  tree_node* ds_block(int depth) {
    const std::string start = pick(5) ? q(pick(5)) : "\"x\"";
    return block("DS \"" + letter('a') + "\" \"\" \"\" \"" + (pick(4) ? "k" : "m") + "\" " + q(pick(1000)) +
                     " \"0\" " + start,
                 "FS \"a\" \"0\" \"0\" \"d\" \"e\"", depth);
  }
  tree_node* dt_block() { return chain({rec("DT " + q(pick(1000)), report), rec("YT " + q(pick(1000)), report)}); }
  tree_node* group(int depth) {
    switch (pick(5)) {
      case 0: return chain({xi_block(depth)});
      case 1: return chain({ds_block(depth)});
      case 2: return chain({xi_block(depth), ds_block(depth), dt_block()});
      default: return chain({xi_block(depth), ds_block(depth)});
    }
  }
  tree_node* group_list(int depth, unsigned size = 0) {
    tree_node* groups = list1(group(depth));
    for (unsigned i = 1, n = size ? size : 1 + pick(3); i < n; ++i) append(groups, list1(group(depth)));
    return groups;
  }
};
