#include "report/record_kinds.h"

#include <cstring>

#include "report/report_errors.h"

namespace {
constexpr field_list NONE = {0, 0, 0, 0};
constexpr merged_end NOT_MERGED = {0, 0, kept_value::none};
constexpr bool Y = true, N = false;
}  // namespace

// Columns after the keyword and what the record is: read from reports; kept by
// the default filter, kept by the -TIME filter, dropped by the default filter;
// numeric fields; time field, fixed time, time point after it; fields a finer
// tick multiplies; closed by, nesting; writing; merged end.
const kind_facts keyword_table[KEYWORD_COUNT + 1] = {
    {"SY", "the tester's clock: name (1), start units (2) and ticks (3), ticks per unit (4), tick length (5), label (6)",
     Y, Y, Y, N, {2, 3, 4, 5}, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"RE", "opens the first section; its run of members is closed by FR",
     Y, Y, Y, N, NONE, 0, N, N, NONE, KIND_FR, nesting::balanced, writing::whole, NOT_MERGED},
    {"SC", "a member of the RE run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"IT", "a member of the RE run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"DE", "a member of the RE run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"PR", "a member of the RE run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"PE", "a member of the RE run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"RU", "a member of the RE run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"PO", "a member of the RE run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"XX", "a record without time of its own; a time point follows it",
     Y, Y, Y, N, NONE, 0, N, Y, NONE, KIND_TP, nesting::flat, writing::trimmed, NOT_MERGED},
    {"XI", "opens a test item at its time (1), closed by YI; a group begins with its block",
     Y, Y, N, N, {1, 3, 2}, 1, N, N, {1}, KIND_YI, nesting::balanced, writing::trimmed, {4, 1, kept_value::smaller}},
    {"DT", "opens a block of a test item at its time (1), closed by YT",
     Y, Y, N, N, {1}, 1, N, N, {1}, KIND_YT, nesting::balanced, writing::trimmed, {4, 1, kept_value::smaller}},
    {"XE", "opens a block of a test item at its time (1), closed by FE",
     Y, Y, N, N, {1}, 1, N, N, {1}, KIND_FE, nesting::balanced, writing::trimmed, {4, 1, kept_value::smaller}},
    {"YI", "closes an XI block, at the fixed time",
     Y, Y, N, N, {1}, 0, Y, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, {3, 1, kept_value::larger}},
    {"YT", "closes a DT block, at the fixed time",
     Y, Y, N, N, {1}, 0, Y, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, {3, 1, kept_value::larger}},
    {"FE", "closes an XE block, at the fixed time",
     Y, Y, N, N, {1}, 0, Y, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, {3, 1, kept_value::larger}},
    {"DP", "a record with its time in field 2, which the filters drop",
     Y, N, N, Y, {2}, 2, N, N, {2}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"FP", "a record the filters drop",
     Y, N, N, Y, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"DS", "opens a test step: name (1 and 4), time (5), start (7); closed by FS",
     Y, Y, N, N, {5, 7, 6}, 5, N, N, {5}, KIND_FS, nesting::balanced, writing::trimmed, {8, 5, kept_value::smaller}},
    {"DA", "opens an analysis, kept when a record of it has \"1\" in field 1; closed by FA after its PA records",
     Y, Y, Y, N, {3, 4, 5}, 5, N, N, {3, 4, 5}, KIND_FA, nesting::balanced, writing::trimmed, NOT_MERGED},
    {"PA", "a member of a DA block",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"DW", "opens a wait, closed by FF after its DX, FX and CH records; an FW copy follows the run",
     Y, Y, Y, N, {3, 4, 5}, 5, N, N, {3, 4, 5}, KIND_FF, nesting::flat, writing::trimmed, NOT_MERGED},
    {"DX", "a member of a wait; FX ends its CH records",
     Y, Y, Y, N, NONE, 0, N, N, NONE, KIND_FX, nesting::none, writing::trimmed, NOT_MERGED},
    {"EV", "opens an event, closed by FV after its CH records",
     Y, Y, Y, N, {3, 5}, 5, N, N, {3, 5}, KIND_FV, nesting::balanced, writing::trimmed, NOT_MERGED},
    {"CH", "a member of an EV, DX, SN or DW run",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"FS", "closes a DS block, at the fixed time; its status (3) merges: \"1\" stays, else \"2\" or \"1\" wins",
     Y, Y, N, N, {2}, 0, Y, N, {2}, NOT_CLOSED, nesting::none, writing::trimmed, {6, 3, kept_value::status}},
    {"SN", "opens a signal, closed by FN after its CH records",
     Y, Y, Y, N, {4, 5, 6}, 6, N, N, {4, 5, 6}, KIND_FN, nesting::flat, writing::trimmed, NOT_MERGED},
    {"UN", "a record the filters drop",
     Y, N, N, Y, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"CO", "a comment, kept only before a DW or SN record, with which it is closed by FO",
     Y, N, N, N, NONE, 0, N, N, NONE, KIND_FO, nesting::flat, writing::trimmed, NOT_MERGED},
    {"ER", "an incorrect scenario; a time point follows it",
     Y, Y, Y, N, NONE, 0, N, Y, NONE, KIND_TP, nesting::flat, writing::trimmed, NOT_MERGED},
    {"PT", "a record the filters drop",
     Y, N, N, Y, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"RD", "a rendezvous: name (1), time matched between testers (4), time (5)",
     Y, Y, Y, N, {3, 4, 5}, 5, N, N, {3, 4, 5}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"EX", "a record without time of its own; a time point follows it",
     Y, Y, Y, N, NONE, 0, N, Y, NONE, KIND_TP, nesting::flat, writing::trimmed, NOT_MERGED},
    {"PP", "opens a block kept when a record of it has \"1\" in field 1, closed by FQ; a time point follows it",
     Y, Y, Y, N, NONE, 0, N, Y, NONE, KIND_FQ, nesting::balanced, writing::trimmed, NOT_MERGED},
    {"PQ", "a member of a PP block",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"BF", "closes a DB block",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"BC", "a member of a DB block",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"DB", "opens a block without time, closed by BF",
     Y, Y, Y, N, NONE, 0, N, N, NONE, KIND_BF, nesting::balanced, writing::whole, NOT_MERGED},
    {"IE", "a record whose name (3, or 2 after a \"0\") is numbered when repeated; the source record follows the first",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"CF", "a file: a test plan line (dropped before the first XI), or the source record of a ROD report",
     Y, Y, Y, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::whole, NOT_MERGED},
    {"TP", "a time point: the last time (1) before an XX, ER, EX or PP record",
     Y, N, N, N, NONE, 1, N, N, {1}, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FW", "the copy of a DW record after its run, fields 3 and 5 moved by its duration (4)",
     N, N, N, N, NONE, 5, N, N, {3, 4, 5}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"FF", "closes a DW block",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FQ", "closes a PP block",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FV", "closes an EV block",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FX", "ends the CH records of a DX record",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FO", "closes a CO block",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FA", "closes a DA block",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FN", "closes an SN block",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FR", "closes the RE block",
     N, N, N, N, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
    {"FT", "a record with its time in field 2",
     Y, Y, Y, N, {1, 2}, 2, N, N, {1, 2}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"TN", "a record with its time in field 2",
     Y, Y, Y, N, {1, 2}, 2, N, N, {1, 2}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"TF", "a record with its time in field 2",
     Y, Y, Y, N, {1, 2}, 2, N, N, {1, 2}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"FB", "a record with its time in field 2",
     Y, Y, Y, N, {1, 2}, 2, N, N, {1, 2}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"IC", "a record with its time in field 7",
     Y, Y, Y, N, {5, 7}, 7, N, N, {5, 7}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"ID", "a record with its time in field 5",
     Y, Y, Y, N, {4, 5}, 5, N, N, {4, 5}, NOT_CLOSED, nesting::none, writing::trimmed, NOT_MERGED},
    {"SE", "no kind: a keyword the default filter drops",
     N, N, N, Y, NONE, 0, N, N, NONE, NOT_CLOSED, nesting::none, writing::not_written, NOT_MERGED},
};

static record* keyword_records[KEYWORD_COUNT];

void init_keyword_cells() {
  if (keyword_records[0]) return;
  for (uint32_t k = 0; k < KEYWORD_COUNT; ++k) {
    keyword_records[k] = make_record(keyword_table[k].keyword, nullptr, 0, k);
    keyword_records[k]->set(SHARED_MARK);
  }
}

void free_keyword_cells() {
  if (!keyword_records[0]) return;
  for (record*& r : keyword_records) {
    r->clear(SHARED_MARK);
    free_record(r);
    r = nullptr;
  }
}

record* keyword_record(uint32_t kind) { return keyword_records[kind]; }

// Made before main from the table, which is constant: a plain array, not a
// container, so that it is outside any run's memory.
const letter_rows rows_by_letters;

letter_rows::letter_rows() {
  memset(rows, NO_ROW, sizeof rows);
  for (uint32_t row = 0; row <= FILTERED_SE; ++row) {
    const auto* letters = reinterpret_cast<const unsigned char*>(keyword_table[row].keyword);
    rows[letters[0] << 8 | letters[1]] = static_cast<uint8_t>(row);
  }
}

uint32_t record_kind_of(const record& r) {
  const uint32_t row = row_by_letters(r.keyword());
  if (row < KEYWORD_COUNT && keyword_table[row].read) return row;
  internal_report_error();
}

void classify_records(objet* report) {
  for (objet* node = report; node; node = node->next) {
    record* r = node->item.rec();
    r->set_kind(record_kind_of(*r));
  }
}
