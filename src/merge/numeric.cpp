#include "merge/numeric.h"

#include "merge/classify.h"
#include "merge/fields.h"
#include "report/report_errors.h"

enum { MAX_CONVERTED = 4 };

struct numeric_positions {
  uint32_t kind;
  int positions[MAX_CONVERTED];  // in conversion order, ended by 0
};

static const numeric_positions numeric_table[] = {
    {KIND_SY, {2, 3, 4, 5}}, {KIND_XI, {1, 3, 2}}, {KIND_DT, {1}},    {KIND_XE, {1}},
    {KIND_YI, {1}},          {KIND_YT, {1}},       {KIND_FE, {1}},    {KIND_DP, {2}},
    {KIND_DS, {5, 7, 6}},    {KIND_DA, {3, 4, 5}}, {KIND_DW, {3, 4, 5}}, {KIND_EV, {3, 5}},
    {KIND_FS, {2}},          {KIND_SN, {4, 5, 6}}, {KIND_RD, {3, 4, 5}}, {KIND_FT, {1, 2}},
    {KIND_TN, {1, 2}},       {KIND_TF, {1, 2}},    {KIND_FB, {1, 2}},    {KIND_IC, {5, 7}},
    {KIND_ID, {4, 5}},
};

static const numeric_positions* positions_of(uint32_t kind) {
  for (const numeric_positions& entry : numeric_table) {
    if (entry.kind == kind) return &entry;
  }
  return nullptr;
}

// A record too short for its kind's positions cannot be converted: the
// report is rejected rather than a number cell taken for a field.
void convert_record_fields(objet* record) {
  const numeric_positions* entry = positions_of(kind_of(record));
  if (!entry) return;
  for (int position : entry->positions) {
    if (position == 0) break;
    if (static_cast<uint32_t>(position) > record->item->count) unexpected_end_of_report();
    objet* field = field_at(record, position);
    free_objet(replace_field(record, position, parse_long(field->text, field->length)));
  }
}

void convert_numeric_fields(objet* report) {
  for (objet* node = report; is_list(node); node = node->next) convert_record_fields(node->item);
}
