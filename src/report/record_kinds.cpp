#include "report/record_kinds.h"

#include <cstring>

#include "report/report_errors.h"

const kind_facts keyword_table[KEYWORD_COUNT + 1] = {
    {.keyword = "SY",
     .what = "the tester's clock: name (1), start units (2) and ticks (3), ticks per unit (4), tick length (5), label (6)",
     .filters = kept_by::both, .numeric = {2, 3, 4, 5}, .written = writing::whole},
    {.keyword = "RE", .what = "opens the first section; its run of members is closed by FR", .filters = kept_by::both,
     .closed_by = KIND_FR, .block = nesting::balanced, .written = writing::whole},
    {.keyword = "SC", .what = "a member of the RE run", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "IT", .what = "a member of the RE run", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "DE", .what = "a member of the RE run", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "PR", .what = "a member of the RE run", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "PE", .what = "a member of the RE run", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "RU", .what = "a member of the RE run", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "PO", .what = "a member of the RE run", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "XX", .what = "a record without time of its own; a time point follows it", .filters = kept_by::both,
     .time_point_after = true, .closed_by = KIND_TP, .block = nesting::flat},
    {.keyword = "XI", .what = "opens a test item at its time (1), closed by YI; a group begins with its block",
     .filters = kept_by::default_filter, .numeric = {1, 3, 2}, .time_field = 1, .scaled = {1}, .closed_by = KIND_YI,
     .block = nesting::balanced, .merged = {.tail = XI_TAIL.position, .field = 1, .kept = kept_value::smaller}},
    {.keyword = "DT", .what = "opens a block of a test item at its time (1), closed by YT", .filters = kept_by::default_filter,
     .numeric = {1}, .time_field = 1, .scaled = {1}, .closed_by = KIND_YT, .block = nesting::balanced,
     .merged = {.tail = 4, .field = 1, .kept = kept_value::smaller}},
    {.keyword = "XE", .what = "opens a block of a test item at its time (1), closed by FE", .filters = kept_by::default_filter,
     .numeric = {1}, .time_field = 1, .scaled = {1}, .closed_by = KIND_FE, .block = nesting::balanced,
     .merged = {.tail = 4, .field = 1, .kept = kept_value::smaller}},
    {.keyword = "YI", .what = "closes an XI block, at the fixed time", .filters = kept_by::default_filter, .numeric = {1},
     .fixed_time = true, .merged = {.tail = 3, .field = 1, .kept = kept_value::larger}},
    {.keyword = "YT", .what = "closes a DT block, at the fixed time", .filters = kept_by::default_filter, .numeric = {1},
     .fixed_time = true, .merged = {.tail = 3, .field = 1, .kept = kept_value::larger}},
    {.keyword = "FE", .what = "closes an XE block, at the fixed time", .filters = kept_by::default_filter, .numeric = {1},
     .fixed_time = true, .merged = {.tail = 3, .field = 1, .kept = kept_value::larger}},
    {.keyword = "DP", .what = "a record with its time in field 2, which the filters drop",
     .filters = kept_by::neither, .numeric = {2}, .time_field = 2, .scaled = {2}},
    {.keyword = "FP", .what = "a record the filters drop", .filters = kept_by::neither},
    {.keyword = "DS", .what = "opens a test step: name (1 and 4), time (5), start (7); closed by FS",
     .filters = kept_by::default_filter, .numeric = {5, 7, 6}, .time_field = 5, .scaled = {5}, .closed_by = KIND_FS,
     .block = nesting::balanced, .merged = {.tail = DS_TAIL.position, .field = 5, .kept = kept_value::smaller}},
    {.keyword = "DA",
     .what = "opens an analysis, kept when a record of it has \"1\" in field 1; closed by FA after its PA records",
     .filters = kept_by::both, .numeric = {3, 4, 5}, .time_field = 5, .scaled = {3, 4, 5}, .closed_by = KIND_FA,
     .block = nesting::balanced},
    {.keyword = "PA", .what = "a member of a DA block", .filters = kept_by::both},
    {.keyword = "DW", .what = "opens a wait, closed by FF after its DX, FX and CH records; an FW copy follows the run",
     .filters = kept_by::both, .numeric = {3, 4, 5}, .time_field = 5, .scaled = {3, 4, 5}, .closed_by = KIND_FF, .block = nesting::flat},
    {.keyword = "DX", .what = "a member of a wait; FX ends its CH records", .filters = kept_by::both, .closed_by = KIND_FX},
    {.keyword = "EV", .what = "opens an event, closed by FV after its CH records", .filters = kept_by::both, .numeric = {3, 5},
     .time_field = 5, .scaled = {3, 5}, .closed_by = KIND_FV, .block = nesting::balanced},
    {.keyword = "CH", .what = "a member of an EV, DX, SN or DW run", .filters = kept_by::both},
    {.keyword = "FS",
     .what = "closes a DS block, at the fixed time; its status (3) merges: \"1\" stays, else \"2\" or \"1\" wins",
     .filters = kept_by::default_filter, .numeric = {2}, .fixed_time = true, .scaled = {2},
     .merged = {.tail = 6, .field = 3, .kept = kept_value::status}},
    {.keyword = "SN", .what = "opens a signal, closed by FN after its CH records", .filters = kept_by::both, .numeric = {4, 5, 6},
     .time_field = 6, .scaled = {4, 5, 6}, .closed_by = KIND_FN, .block = nesting::flat},
    {.keyword = "UN", .what = "a record the filters drop", .filters = kept_by::neither},
    {.keyword = "CO", .what = "a comment, kept only before a DW or SN record, with which it is closed by FO",
     .closed_by = KIND_FO, .block = nesting::flat},
    {.keyword = "ER", .what = "an incorrect scenario; a time point follows it", .filters = kept_by::both, .time_point_after = true,
     .closed_by = KIND_TP, .block = nesting::flat},
    {.keyword = "PT", .what = "a record the filters drop", .filters = kept_by::neither},
    {.keyword = "RD", .what = "a rendezvous: name (1), time matched between testers (4), time (5)", .filters = kept_by::both,
     .numeric = {3, 4, 5}, .time_field = 5, .matched_time = RD_MATCHED_TIME.position, .scaled = {3, 4, 5}},
    {.keyword = "EX", .what = "a record without time of its own; a time point follows it", .filters = kept_by::both,
     .time_point_after = true, .closed_by = KIND_TP, .block = nesting::flat},
    {.keyword = "PP", .what = "opens a block kept when a record of it has \"1\" in field 1, closed by FQ; a time point follows it",
     .filters = kept_by::both, .time_point_after = true, .closed_by = KIND_FQ, .block = nesting::balanced},
    {.keyword = "PQ", .what = "a member of a PP block", .filters = kept_by::both},
    {.keyword = "BF", .what = "closes a DB block", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "BC", .what = "a member of a DB block", .filters = kept_by::both, .written = writing::whole},
    {.keyword = "DB", .what = "opens a block without time, closed by BF", .filters = kept_by::both, .closed_by = KIND_BF,
     .block = nesting::balanced, .written = writing::whole},
    {.keyword = "IE", .what = "a record whose name (3, or 2 after a \"0\") is numbered when repeated; the source record follows the first",
     .filters = kept_by::both, .written = writing::whole},
    {.keyword = "CF", .what = "a file: a test plan line (dropped before the first XI), or the source record of a ROD report",
     .filters = kept_by::both, .written = writing::whole},
    {.keyword = "TP", .what = "a time point: the last time (1) before an XX, ER, EX or PP record", .time_field = 1,
     .scaled = {1}, .written = writing::not_written},
    {.keyword = "FW", .what = "the copy of a DW record after its run, fields 3 and 5 moved by its duration (4)",
     .read = false, .time_field = 5, .scaled = {3, 4, 5}},
    {.keyword = "FF", .what = "closes a DW block", .read = false, .written = writing::not_written},
    {.keyword = "FQ", .what = "closes a PP block", .read = false, .written = writing::not_written},
    {.keyword = "FV", .what = "closes an EV block", .read = false, .written = writing::not_written},
    {.keyword = "FX", .what = "ends the CH records of a DX record", .read = false, .written = writing::not_written},
    {.keyword = "FO", .what = "closes a CO block", .read = false, .written = writing::not_written},
    {.keyword = "FA", .what = "closes a DA block", .read = false, .written = writing::not_written},
    {.keyword = "FN", .what = "closes an SN block", .read = false, .written = writing::not_written},
    {.keyword = "FR", .what = "closes the RE block", .read = false, .written = writing::not_written},
    {.keyword = "FT", .what = "a record with its time in field 2", .filters = kept_by::both, .numeric = {1, 2}, .time_field = 2,
     .scaled = {1, 2}},
    {.keyword = "TN", .what = "a record with its time in field 2", .filters = kept_by::both, .numeric = {1, 2}, .time_field = 2,
     .scaled = {1, 2}},
    {.keyword = "TF", .what = "a record with its time in field 2", .filters = kept_by::both, .numeric = {1, 2}, .time_field = 2,
     .scaled = {1, 2}},
    {.keyword = "FB", .what = "a record with its time in field 2", .filters = kept_by::both, .numeric = {1, 2}, .time_field = 2,
     .scaled = {1, 2}},
    {.keyword = "IC", .what = "a record with its time in field 7", .filters = kept_by::both, .numeric = {5, 7}, .time_field = 7,
     .scaled = {5, 7}},
    {.keyword = "ID", .what = "a record with its time in field 5", .filters = kept_by::both, .numeric = {4, 5}, .time_field = 5,
     .scaled = {4, 5}},
    {.keyword = "SE", .what = "no kind: a keyword the default filter drops", .read = false,
     .filters = kept_by::neither, .written = writing::not_written},
};

static record* keyword_records[KEYWORD_COUNT];

void init_keyword_records() {
  if (keyword_records[0]) return;
  for (uint32_t k = 0; k < KEYWORD_COUNT; ++k) {
    keyword_records[k] = make_record(keyword_table[k].keyword, nullptr, 0, k);
    keyword_records[k]->set(SHARED_MARK);
  }
}

void free_keyword_records() {
  if (!keyword_records[0]) return;
  for (record*& r : keyword_records) {
    r->clear(SHARED_MARK);
    free_record(r);
    r = nullptr;
  }
}

const record* keyword_record(uint32_t kind) { return keyword_records[kind]; }

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

void classify_records(tree_node* report) {
  for (tree_node* node = report; node; node = node->next) {
    record* r = node->item.rec();
    r->set_kind(record_kind_of(*r));
  }
}
