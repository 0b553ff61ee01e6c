#pragma once

#include <cstdint>
#include <initializer_list>

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

// The kinds of the records on a chain, blocks not looked into.
key_set kinds_present(const objet* chain);
objet* find_before(objet* node, key_set keys);
objet* run_end(objet* node, key_set member_keys);
bool keyword_in(key_set keys, const objet* keyword);

void add_fw_record(objet* argument);
void co_rule(objet* argument);

// The top-level node of a record made of one keyword cell; the head of the
// tree passes uses the keyword of two blanks.
objet* keyword_only_node(const char* keyword, uint32_t kind);
