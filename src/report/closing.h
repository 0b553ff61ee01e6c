#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "merge/classify.h"
#include "report/objet.h"

// Record kinds as bits: a pass meets every record, and a kind is one test.
using key_set = uint64_t;
static_assert(KEYWORD_COUNT <= 64, "one bit per kind");
constexpr key_set key_set_of(std::initializer_list<uint32_t> kinds) {
  key_set set = 0;
  for (uint32_t kind : kinds) set |= key_set{1} << kind;
  return set;
}

// Inserts after every construct that the report only opens (PP, DA, EV, DX,
// SN, DW, CO and RE runs) its synthesized closing record, and an FW record
// after every DW run.
objet* add_closing_records(objet* chain);

// One rule over a chain that starts with a head node; keyword cells carry
// their kinds, as classification and the passes set them. The callback is
// an OBJ_FUNCTION cell given list2(node before the opener, last node of the
// run or the opener itself).
void close_blocks(objet* head, key_set opening_keys, key_set member_keys, objet* callback);
// The same from the successor of start, for the first n blocks only.
void close_blocks_after(int n, objet* start, key_set opening_keys, key_set member_keys,
                        objet* callback);

// The top level of a chain as it stands between passes: each node with the
// kind bit that its record matches, none for a record that matches no key,
// NOT_RECORD for anything else. The passes scan this array instead of
// chasing every record through memory.
constexpr key_set NOT_RECORD = key_set{1} << 63;
struct top_entry {
  objet* node;
  key_set kind;
};
using top_level = std::vector<top_entry>;
top_level top_level_of(objet* head);
objet* find_before(objet* node, key_set keys);
objet* run_end(objet* node, key_set member_keys);
bool keyword_in(key_set keys, const objet* keyword);

void add_fw_record(objet* argument);
void co_rule(objet* argument);

// The top-level node of a record made of one keyword cell; the head of the
// tree passes uses the keyword of two blanks.
objet* keyword_only_node(const char* keyword, uint32_t kind);
