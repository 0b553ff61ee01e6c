#include <gtest/gtest.h>

#include <random>
#include <string>

#include "merge/classify.h"
#include "merge/long_field.h"
#include "merge/merge_groups.h"
#include "merge/merge_records.h"
#include "support/report_text.h"

// merge_groups indexes the target groups; these runs compare it with the
// plain scans it replaces on random group lists.
namespace {
objet* take(objet* node) {
  objet* item = node->item;
  node->item = nullptr;
  return item;
}

objet* first_record(objet* holder) { return holder ? holder->item->item : nullptr; }

uint32_t start_of(objet* ds) {
  objet* start = ds ? long_at(ds, 7) : nullptr;
  return start ? static_cast<uint32_t>(start->value) : 0;
}

bool same_name(objet* a, objet* b) {
  for (int field : {1, 4}) {
    objet* x = string_at(a, field);
    objet* y = string_at(b, field);
    if (!x || !y || !equal_string(x, y)) return false;
  }
  return true;
}

void scanning_merge(objet* target, objet* incoming) {
  for (objet* in = incoming; in; in = in->next) {
    objet* group = in->item;
    if (!group) continue;
    objet* ds = first_record(first_ds_block(group));
    objet* xi = first_record(first_xi_block(group));
    objet* taker = nullptr;
    for (objet* node = target; node && !taker && (ds || xi); node = node->next) {
      if (!node->item) continue;
      objet* own_ds = first_record(first_ds_block(node->item));
      objet* own_xi = first_record(first_xi_block(node->item));
      bool takes = !ds ? !holds_report(own_xi ? own_xi : own_ds, own_xi ? OPENING_TAIL : DS_TAIL,
                                       field_at(xi, OPENING_TAIL))
                 : own_ds ? same_name(own_ds, ds)
                          : !own_xi || !holds_report(own_xi, OPENING_TAIL, field_at(ds, DS_TAIL));
      if (takes) taker = node;
    }
    if (taker) {
      merge_group_into(taker->item, group);
      continue;
    }
    // Unmatched: a group with a DS block goes before the first later start.
    objet* before = nullptr;
    objet* node = ds ? target : nullptr;
    for (; node; before = node, node = node->next)
      if (node->item && start_of(first_record(first_ds_block(node->item))) > start_of(ds)) break;
    if (!node) {
      append(target, list1(take(in)));
    } else if (before) {
      before->next = make_list(take(in), before->next);
    } else {
      target->next = make_list(target->item, target->next);
      target->item = take(in);
    }
  }
}

std::string q(int n) { return "\"" + std::to_string(n) + "\""; }

// XI block, DS block (named a/b/c, field 4 k/m, start 0-4 or none, at times
// nested groups), DT block, in random combinations.
objet* random_group(std::mt19937& random, int report, int depth) {
  int t = static_cast<int>(random() % 100);
  objet* xi = chain({rec("XI " + q(t) + " \"0\" \"0\"", report), rec("YI " + q(t + 5) + " \"y\"", report)});
  std::string name = std::string(1, static_cast<char>('a' + random() % 3));
  std::string start = random() % 5 ? " " + q(static_cast<int>(random() % 5)) : " \"x\"";
  objet* inner = depth == 0 && random() % 3 == 0
                     ? chain({random_group(random, report, 1), random_group(random, report, 1)})
                     : rec("FT " + q(t + 2) + " " + q(t + 2), report);
  objet* ds = chain({rec("DS \"" + name + "\" \"\" \"\" \"" + (random() % 4 ? "k" : "m") + "\" " + q(t + 1) +
                             " \"0\"" + start, report),
                     inner, rec("FS \"a\" \"0\" \"0\" \"d\" \"e\"", report)});
  objet* dt = chain({rec("DT " + q(t + 3), report), rec("YT " + q(t + 4), report)});
  switch (random() % 5) {
    case 0: free_objet(ds); free_objet(dt); return chain({xi});
    case 1: free_objet(xi); free_objet(dt); return chain({ds});
    case 2: return chain({xi, ds, dt});
    default: free_objet(dt); return chain({xi, ds});
  }
}

objet* random_list(std::mt19937& random, int report, int size) {
  objet* list = chain({random_group(random, report, 0)});
  for (int i = 1; i < size; ++i) append(list, list1(random_group(random, report, 0)));
  return list;
}
}  // namespace

TEST(GroupMatching, IndexedMergeMatchesScanning) {
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    objet* target = random_list(random, 1, 1 + static_cast<int>(random() % 6));
    objet* second = random_list(random, 2, 1 + static_cast<int>(random() % 6));
    objet* incoming = random_list(random, 2, 1 + static_cast<int>(random() % 6));
    merge_groups(target, second);
    objet* expected = deep_copy(target);
    objet* expected_incoming = deep_copy(incoming);
    merge_groups(target, incoming);
    scanning_merge(expected, expected_incoming);
    ASSERT_EQ(shape(target) + record_lines(target), shape(expected) + record_lines(expected)) << round;
    for (objet* list : {target, second, incoming, expected, expected_incoming}) free_objet(list);
  }
}
