#pragma once

#include "report/objet.h"

// Record kinds: the position of a record's keyword in keyword_table.
enum record_kind : uint32_t {
  KIND_SY, KIND_RE, KIND_SC, KIND_IT, KIND_DE, KIND_PR, KIND_PE, KIND_RU, KIND_PO, KIND_XX,
  KIND_XI, KIND_DT, KIND_XE, KIND_YI, KIND_YT, KIND_FE, KIND_DP, KIND_FP, KIND_DS, KIND_DA,
  KIND_PA, KIND_DW, KIND_DX, KIND_EV, KIND_CH, KIND_FS, KIND_SN, KIND_UN, KIND_CO, KIND_ER,
  KIND_PT, KIND_RD, KIND_EX, KIND_PP, KIND_PQ, KIND_BF, KIND_BC, KIND_DB, KIND_IE, KIND_CF,
  KIND_TP, KIND_FW, KIND_FF, KIND_FQ, KIND_FV, KIND_FX, KIND_FO, KIND_FA, KIND_FN, KIND_FR,
  KIND_FT, KIND_TN, KIND_TF, KIND_FB, KIND_IC, KIND_ID,
  KEYWORD_COUNT
};
static_assert(KEYWORD_COUNT <= UINT8_MAX, "a record kind fits a cell's kind byte");

extern const char* const keyword_table[KEYWORD_COUNT];
// Shared string cells of the table's keywords, the keys of find_record.
extern objet* keyword_cells[KEYWORD_COUNT];

void init_keyword_cells();
void free_keyword_cells();

// Kind of a record's keyword (first two characters); "ERRINTERN" when unknown.
uint32_t record_kind_of(objet* record);
// Kind stored in a record's keyword cell by classify_records.
inline uint32_t kind_of(objet* record) { return record->item->kind; }
void classify_records(objet* report);

bool keyword_is(const objet* keyword, const char* letters);
bool is_co(const objet* keyword);
bool is_se(const objet* keyword);
bool is_re(const objet* keyword);
bool is_db(const objet* keyword);
bool is_dw(const objet* keyword);
bool is_xi(const objet* keyword);
bool is_ds(const objet* keyword);
bool is_un(const objet* keyword);
bool is_da(const objet* keyword);
bool is_dp(const objet* keyword);
bool is_sn(const objet* keyword);
bool is_fp(const objet* keyword);
bool is_pt(const objet* keyword);
bool is_pp(const objet* keyword);

// Shape tests
inline bool is_record(const objet* x) { return is_list(x) && is_string(x->item); }
bool is_block(const objet* x);
bool starts_with_block(const objet* x);
objet* find_record(objet* list, const objet* keyword_cell);
bool has_xe_record(objet* list);
bool has_dt_record(objet* list);
bool is_ds_block(objet* x);
bool is_xi_block(objet* x);
bool is_da_block(objet* x);
bool is_pp_block(objet* x);
bool opens_group(objet* x);
bool all_open_groups(objet* x);

// First-element searches over a list: the first node whose item passes the
// test; they stop with nothing at the first node that is not a list node.
objet* first_xe_holder(objet* list);
objet* first_dt_holder(objet* list);
objet* first_ds_block(objet* list);
objet* first_xi_block(objet* list);
