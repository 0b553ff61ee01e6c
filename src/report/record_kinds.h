#pragma once

// The record vocabulary: every two-letter keyword a report may hold, and
// what each pass knows of its kind, in one table. A record's kind is the
// position of its keyword in the table; classification stamps it on the
// record's keyword record, and the passes after it read the table through
// the stamped kind instead of knowing kinds of their own.

#include <array>
#include <initializer_list>
#include <cstdint>

#include "report/tree_node.h"
#include "report/record.h"

enum record_kind : uint8_t {
  KIND_SY, KIND_RE, KIND_SC, KIND_IT, KIND_DE, KIND_PR, KIND_PE, KIND_RU, KIND_PO, KIND_XX,
  KIND_XI, KIND_DT, KIND_XE, KIND_YI, KIND_YT, KIND_FE, KIND_DP, KIND_FP, KIND_DS, KIND_DA,
  KIND_PA, KIND_DW, KIND_DX, KIND_EV, KIND_CH, KIND_FS, KIND_SN, KIND_UN, KIND_CO, KIND_ER,
  KIND_PT, KIND_RD, KIND_EX, KIND_PP, KIND_PQ, KIND_BF, KIND_BC, KIND_DB, KIND_IE, KIND_CF,
  KIND_TP, KIND_FW, KIND_FF, KIND_FQ, KIND_FV, KIND_FX, KIND_FO, KIND_FA, KIND_FN, KIND_FR,
  KIND_FT, KIND_TN, KIND_TF, KIND_FB, KIND_IC, KIND_ID,
  KEYWORD_COUNT,
  // Not a kind: a keyword only the report filters know, and drop.
  FILTERED_SE = KEYWORD_COUNT,
  NOT_CLOSED,
  NO_ROW = 255,
};

// Field positions, 1 being the first field after the keyword; a list ends
// at its first 0.
using field_list = std::array<uint8_t, 4>;

// How a block forms around an opening record: its closing record comes
// after the innermost run of members (flat), or closing records pair with
// openers as brackets do (balanced). A kind closed without a block (DX)
// only has its closing record made.
enum class nesting : uint8_t { none, flat, balanced };

// How the RDD writer writes a record: all of it, without the last two of
// the fields it was read with, or not at all.
enum class writing : uint8_t { whole, trimmed, not_written };

// How the structural merge joins two end records of the same block: the
// report-number tail the target takes from `tail` on, and which of the two
// values of `field` it keeps.
enum class kept_value : uint8_t { none, smaller, larger, status };
struct merged_end {
  uint8_t tail;
  uint8_t field;
  kept_value kept;
};

// Which of the report filters (without -TIME, the default filter; with it,
// the time filter) keep a kind's records.
enum class kept_by : uint8_t {
  both,            // both filters
  default_filter,  // the default filter only
  neither,         // neither: both drop it
  unlisted,        // in neither list: the default filter keeps it (CO aside, whose follower decides)
};

// What the passes know of a kind; a row names the facts it sets, the others
// keep these values.
struct kind_facts {
  const char* keyword;
  const char* what;                     // the record, as far as the program knows it
  bool read = true;                     // classification gives it: not one the passes make
  kept_by filters = kept_by::unlisted;
  field_list numeric = {};              // turned into numbers, in this order
  uint8_t time_field = 0;               // its own time; 0: none
  uint8_t matched_time = 0;             // a time matched between reports, on the base of the time field
  bool fixed_time = false;              // ordered at the shared fixed time instead
  bool time_point_after = false;        // a TP record carries the last time after it
  field_list scaled = {};               // fields a finer tick length multiplies
  record_kind closed_by = NOT_CLOSED;   // the closing record made or read for it
  nesting block = nesting::none;        // how the closing record makes a block
  writing written = writing::trimmed;
  merged_end merged = {0, 0, kept_value::none};  // for the ends of merged test items and steps
};

extern const kind_facts keyword_table[KEYWORD_COUNT + 1];

// Record kinds as bits of one word: a pass meets every record, and a kind is
// one test. The word also holds NOT_RECORD (bit 63) and sets are made up to
// the bit of KEYWORD_COUNT.
using key_set = uint64_t;
static_assert(KEYWORD_COUNT <= 62, "a bit per kind, and the two bits above them, in one word");
constexpr key_set key_set_of(std::initializer_list<uint32_t> kinds) {
  key_set set = 0;
  for (uint32_t kind : kinds) set |= key_set{1} << kind;
  return set;
}
// Every kind's bit.
constexpr key_set ANY_KIND = (key_set{1} << KEYWORD_COUNT) - 1;
// The bit of a kind; none for NO_KIND or any other value no row has.
constexpr key_set kind_bit(uint32_t kind) { return kind < KEYWORD_COUNT ? key_set{1} << kind : 0; }
inline key_set kind_bit(tree_item item) { return item.is_record() ? kind_bit(item.rec()->kind()) : 0; }

inline const kind_facts& facts_of(uint32_t kind) { return keyword_table[kind]; }

// The fields the passes read by name, each of the kinds it belongs to.
template <uint32_t... Kinds>
using named = field_name<((uint64_t{1} << Kinds) | ...)>;
constexpr named<KIND_SY> SY_CLOCK{1}, SY_UNITS{2}, SY_TICKS{3}, SY_TICKS_PER_UNIT{4}, SY_TICK_LENGTH{5}, SY_LABEL{6};
constexpr named<KIND_XI> XI_TAIL{4};  // the first position a merged test item's tail takes
constexpr named<KIND_DS> DS_NAME{1}, DS_ITEM{4}, DS_START{7}, DS_TAIL{8};
constexpr named<KIND_RD> RD_NAME{1}, RD_MATCHED_TIME{4};
constexpr named<KIND_DW, KIND_FW> DW_START{3}, DW_DURATION{4};  // an FW record is a DW record's copy
constexpr named<KIND_IE> IE_NAME_FLAG{1}, IE_NAME_AFTER_ZERO{2}, IE_NAME{3};
// Fields of records of any kind: the first field of any record of a DA or
// PP block, "1" when it selects the block; the field of a report's header
// line (of no kind) that names its test plan.
constexpr uint32_t SELECTION = 1, HEADER_PLAN = 2;

// The shared records of one keyword and no field, one per kind: the closing
// records the passes make. Made once at start-up; no tree owns them, and
// every tree may hold them at once, so nothing may write them: the kinds
// they are made for have no field, mark or tail a pass writes.
void init_keyword_records();
void free_keyword_records();
const record* keyword_record(uint32_t kind);

// Keyword tests, one per meaning:
// - the first two characters of the keyword text name the kind (what
//   classification reads, and the filters before it);
inline bool begins_with(std::string_view keyword, uint32_t kind) {
  const char* letters = keyword_table[kind].keyword;
  return keyword.size() >= 2 && keyword[0] == letters[0] && keyword[1] == letters[1];
}
// - the kind classification stamped, which is that of the first two
//   characters;
inline uint32_t kind_of(const record& r) { return r.kind(); }
// - the whole keyword is the kind's keyword ("XI", not "XIX").
inline bool is_exactly(const record& r, uint32_t kind) {
  const std::string_view keyword = r.keyword();
  const char* letters = keyword_table[kind].keyword;
  return keyword.size() == 2 && keyword[0] == letters[0] && keyword[1] == letters[1];
}

// The ends of test items and steps: most merge into ends already merged,
// and go with the rest of their report.
inline bool merges_into_ends(uint32_t kind) {
  return kind < KEYWORD_COUNT && keyword_table[kind].merged.kept != kept_value::none;
}
// Whether records of a kind may gain texts or a tail after they are made:
// the ends of test items and steps that merge, clocks that take another's
// label, IE records whose names are numbered.
inline bool may_grow(uint32_t kind) { return merges_into_ends(kind) || kind == KIND_SY || kind == KIND_IE; }
// Where a record is cut: the ends that merge away apart from what stays.
inline block_life life_of_record(uint32_t kind, bool growing) {
  return growing && merges_into_ends(kind) ? block_life::until_merged : block_life::whole_run;
}

// The row of keyword_table (a kind, or FILTERED_SE) whose keyword the first
// two characters of the keyword spell; NO_ROW when none does. Every record of
// every report asks, some more than once: a lookup by its two letters.
struct letter_rows {
  letter_rows();
  uint8_t rows[1 << 16];
};
extern const letter_rows rows_by_letters;
inline uint32_t row_by_letters(std::string_view keyword) {
  if (keyword.size() < 2) return NO_ROW;
  const auto* letters = reinterpret_cast<const unsigned char*>(keyword.data());
  return rows_by_letters.rows[letters[0] << 8 | letters[1]];
}
// The kind of a record's keyword; "ERRINTERN" for a keyword no report holds.
uint32_t record_kind_of(const record& r);
void classify_records(tree_node* report);
