#pragma once

// Closing records: a ROD report opens some constructs without closing them,
// and this pass adds the closing record after each such run of records, so
// that nesting can pair them.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "merge/shapes.h"
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

// The top-level node of a record made of one keyword cell; the head of the
// tree passes uses the keyword of two blanks.
objet* keyword_only_node(const char* keyword, uint32_t kind);
