#include "report/closing.h"

#include <climits>
#include <cstring>
#include <initializer_list>

#include "merge/classify.h"
#include "merge/fields.h"
#include "report/report_errors.h"

objet* keyword_only_node(const char* keyword, uint32_t kind) {
  objet* cell = make_string(keyword);
  cell->kind = kind;
  return list1(list1(cell));
}

static objet* key_chain(std::initializer_list<const char*> keys) {
  objet* head = nullptr;
  objet** link = &head;
  for (const char* key : keys) {
    *link = list1(make_string(key));
    link = &(*link)->next;
  }
  return head;
}

// The key is compared over the keyword's own length as strncmp does, so a
// longer keyword never matches a two-letter key unless a NUL ends it there.
// Keys are two letters; spelled out, since every record of every pass meets it.
static bool keyword_matches(const objet* key, const objet* keyword) {
  const char* k = key->text;
  const char* w = keyword->text;
  uint32_t length = keyword->length;
  if (key->length != 2 || !k[0] || !k[1]) return strncmp(k, w, length) == 0;
  if (length == 0) return true;
  if (w[0] != k[0]) return false;
  if (length == 1) return true;
  if (w[1] != k[1]) return false;
  return length == 2 || w[2] == '\0';
}

bool keyword_in(objet* keys, const objet* keyword) {
  for (objet* key = keys; key; key = key->next) {
    if (keyword_matches(key->item, keyword)) return true;
  }
  return false;
}

static bool record_in(objet* node, objet* keys) {
  return is_record(node->item) && keyword_in(keys, node->item->item);
}

objet* find_before(objet* node, objet* keys) {
  if (record_in(node, keys)) return nullptr;
  while (node->next && !record_in(node->next, keys)) node = node->next;
  return node;
}

objet* run_end(objet* node, objet* member_keys) {
  if (!node) return nullptr;
  objet* previous = nullptr;
  for (; node->next; node = node->next) {
    if (is_record(node->item) && !keyword_in(member_keys, node->item->item)) return previous;
    previous = node;
  }
  return node;
}

void close_blocks_after(int n, objet* start, objet* opening_keys, objet* member_keys,
                        objet* callback) {
  objet* previous = start;
  objet* cur = start->next;
  for (int closed = 0; closed < n && cur && cur->next; ++closed) {
    objet* before = find_before(cur, opening_keys);
    objet* opener = before ? before->next : cur;
    if (!opener) return;
    if (!before) before = previous;
    objet* last = run_end(opener->next, member_keys);
    if (!last) {
      last = opener;
    } else if (!last->next) {
      unexpected_end_of_report();
    }
    objet* argument = list2(before, last);
    callback->function(argument);
    argument->item = nullptr;
    argument->next->item = nullptr;
    free_objet(argument);
    previous = last;
    cur = last->next;
  }
}

void close_blocks(objet* head, objet* opening_keys, objet* member_keys, objet* callback) {
  close_blocks_after(INT_MAX, head, opening_keys, member_keys, callback);
}

template <uint32_t Kind>
static void add_closing_record(objet* argument) {
  insert_after(argument->next->item, keyword_only_node(keyword_table[Kind], Kind));
}

static void add_to_value(objet* cell, const objet* amount) {
  cell->value = static_cast<int32_t>(static_cast<uint32_t>(cell->value) +
                                     static_cast<uint32_t>(amount->value));
}

void add_fw_record(objet* argument) {
  objet* copy = deep_copy(argument->item->next->item);
  objet* keyword = copy->item;
  keyword->kind = KIND_FW;
  keyword->text[0] = 'F';
  keyword->text[1] = 'W';
  objet* duration = field_at(copy, 4);
  add_to_value(field_at(copy, 3), duration);
  add_to_value(field_at(copy, 5), duration);
  insert_after(argument->next->item, list1(copy));
}

static void run_rule(objet* start, int limit, std::initializer_list<const char*> opening,
                     std::initializer_list<const char*> members, objet_function action) {
  objet* opening_keys = key_chain(opening);
  objet* member_keys = key_chain(members);
  objet* callback = make_function(action);
  close_blocks_after(limit, start, opening_keys, member_keys, callback);
  free_objet(opening_keys);
  free_objet(member_keys);
  free_objet(callback);
}

// The first DW (or else SN) block after a CO run is closed by FO after its
// own members.
void co_rule(objet* argument) {
  objet* last = argument->next->item;
  objet* follower = last->next;
  objet* dw_key = make_string("DW");
  bool before_dw = follower && is_record(follower->item) && keyword_matches(dw_key, follower->item->item);
  free_objet(dw_key);
  if (before_dw) {
    run_rule(last, 1, {"DW"}, {"DX", "FX", "CH", "FF"}, add_closing_record<KIND_FO>);
  } else {
    run_rule(last, 1, {"SN"}, {"CH", "FN"}, add_closing_record<KIND_FO>);
  }
}

objet* add_closing_records(objet* chain) {
  objet* head = keyword_only_node("  ", 1);
  head->next = chain;
  run_rule(head, INT_MAX, {"PP"}, {"PQ", "TP"}, add_closing_record<KIND_FQ>);
  run_rule(head, INT_MAX, {"DA"}, {"PA"}, add_closing_record<KIND_FA>);
  run_rule(head, INT_MAX, {"EV"}, {"CH"}, add_closing_record<KIND_FV>);
  run_rule(head, INT_MAX, {"DX"}, {"CH"}, add_closing_record<KIND_FX>);
  run_rule(head, INT_MAX, {"SN"}, {"CH"}, add_closing_record<KIND_FN>);
  run_rule(head, INT_MAX, {"DW"}, {"DX", "FX", "CH"}, add_closing_record<KIND_FF>);
  run_rule(head, INT_MAX, {"DW"}, {"DX", "FX", "FF", "EV", "FV", "CH"}, add_fw_record);
  run_rule(head, INT_MAX, {"CO"}, {"CO"}, co_rule);
  run_rule(head, INT_MAX, {"RE"}, {"SC", "IT", "DE", "PR", "PE", "RU", "SY", "PO", "IE", "CF"},
           add_closing_record<KIND_FR>);
  // The passes leave no other mark (filtering compacted the chain): only
  // the head goes, without a walk over the whole tree.
  return drop_first(head);
}
