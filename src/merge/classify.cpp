#include "merge/classify.h"

#include <cstring>

#include "report/report_errors.h"

const char* const keyword_table[KEYWORD_COUNT] = {
    "SY", "RE", "SC", "IT", "DE", "PR", "PE", "RU", "PO", "XX", "XI", "DT", "XE", "YI",
    "YT", "FE", "DP", "FP", "DS", "DA", "PA", "DW", "DX", "EV", "CH", "FS", "SN", "UN",
    "CO", "ER", "PT", "RD", "EX", "PP", "PQ", "BF", "BC", "DB", "IE", "CF", "TP", "FW",
    "FF", "FQ", "FV", "FX", "FO", "FA", "FN", "FR", "FT", "TN", "TF", "FB", "IC", "ID",
};

objet* keyword_cells[KEYWORD_COUNT];
static bool keyword_cells_made = false;

void init_keyword_cells() {
  if (keyword_cells_made) return;
  for (uint32_t k = 0; k < KEYWORD_COUNT; ++k) {
    keyword_cells[k] = make_string(keyword_table[k]);
    keyword_cells[k]->kind = k;
  }
  keyword_cells_made = true;
}

void free_keyword_cells() {
  if (!keyword_cells_made) return;
  for (objet*& cell : keyword_cells) {
    free_objet(cell);
    cell = nullptr;
  }
  keyword_cells_made = false;
}

// Keywords shorter than two characters never match: their text ends early.
bool keyword_is(const objet* keyword, const char* letters) {
  return is_string(keyword) && keyword->length >= 2 && keyword->text[0] == letters[0] &&
         keyword->text[1] == letters[1];
}

// The closing keywords FW to FR are made by the tree passes, never read.
static bool kind_comes_from_reports(uint32_t kind) { return kind <= KIND_TP || kind >= KIND_FT; }

uint32_t record_kind_of(objet* record) {
  objet* keyword = is_record(record) ? record->item : nullptr;
  for (uint32_t k = 0; k < KEYWORD_COUNT; ++k) {
    if (kind_comes_from_reports(k) && keyword_is(keyword, keyword_table[k])) return k;
  }
  internal_report_error();
}

void classify_records(objet* report) {
  for (objet* node = report; is_list(node); node = node->next) {
    uint32_t kind = record_kind_of(node->item);
    node->item->item->kind = kind;
  }
}

bool is_co(const objet* keyword) { return keyword_is(keyword, "CO"); }
bool is_se(const objet* keyword) { return keyword_is(keyword, "SE"); }
bool is_re(const objet* keyword) { return keyword_is(keyword, "RE"); }
bool is_db(const objet* keyword) { return keyword_is(keyword, "DB"); }
bool is_dw(const objet* keyword) { return keyword_is(keyword, "DW"); }
bool is_xi(const objet* keyword) { return keyword_is(keyword, "XI"); }
bool is_ds(const objet* keyword) { return keyword_is(keyword, "DS"); }
bool is_un(const objet* keyword) { return keyword_is(keyword, "UN"); }
bool is_da(const objet* keyword) { return keyword_is(keyword, "DA"); }
bool is_dp(const objet* keyword) { return keyword_is(keyword, "DP"); }
bool is_sn(const objet* keyword) { return keyword_is(keyword, "SN"); }
bool is_fp(const objet* keyword) { return keyword_is(keyword, "FP"); }
bool is_pt(const objet* keyword) { return keyword_is(keyword, "PT"); }
bool is_pp(const objet* keyword) { return keyword_is(keyword, "PP"); }

bool is_block(const objet* x) {
  if (!is_list(x) || !is_record(x->item)) return false;
  int carried = 0;
  for (const objet* node = x; node; node = node->next) {
    if (!is_list(node)) return false;
    if (node->item && ++carried == 2) return true;
  }
  return false;
}

bool starts_with_block(const objet* x) { return is_list(x) && is_list(x->item) && is_block(x->item); }

objet* find_record(objet* list, const objet* keyword_cell) {
  for (objet* node = list; is_list(node); node = node->next) {
    if (is_record(node->item) && equal_string(node->item->item, keyword_cell)) return node->item;
  }
  return nullptr;
}

bool has_xe_record(objet* list) { return find_record(list, keyword_cells[KIND_XE]) != nullptr; }
bool has_dt_record(objet* list) { return find_record(list, keyword_cells[KIND_DT]) != nullptr; }

bool is_ds_block(objet* x) { return is_block(x) && find_record(x, keyword_cells[KIND_DS]); }
bool is_xi_block(objet* x) { return is_block(x) && find_record(x, keyword_cells[KIND_XI]); }
bool is_da_block(objet* x) { return is_block(x) && is_da(x->item->item); }
bool is_pp_block(objet* x) { return is_block(x) && is_pp(x->item->item); }

static objet* first_holder(objet* list, bool (*test)(objet*)) {
  for (objet* node = list; is_list(node); node = node->next) {
    if (test(node->item)) return node;
  }
  return nullptr;
}

objet* first_xe_holder(objet* list) { return first_holder(list, has_xe_record); }
objet* first_dt_holder(objet* list) { return first_holder(list, has_dt_record); }
objet* first_ds_block(objet* list) { return first_holder(list, is_ds_block); }
objet* first_xi_block(objet* list) { return first_holder(list, is_xi_block); }

bool opens_group(objet* x) {
  return starts_with_block(x) && (first_ds_block(x) || first_xi_block(x));
}

bool all_open_groups(objet* x) {
  if (!is_list(x) || !is_list(x->item)) return false;
  for (objet* node = x; node; node = node->next) {
    if (!is_list(node) || !opens_group(node->item)) return false;
  }
  return true;
}
