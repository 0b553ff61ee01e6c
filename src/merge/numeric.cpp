#include "merge/numeric.h"

#include "merge/fields.h"
#include "merge/shapes.h"
#include "report/report_errors.h"

// A record too short for its kind's positions cannot be converted: the
// report is rejected rather than a number cell taken for a field.
static void convert_record_fields(objet* record) {
  for (uint8_t position : facts_of(kind_of(record)).numeric) {
    if (position == 0) break;
    if (position > record->item->count) unexpected_end_of_report();
    objet* field = field_at(record, position);
    free_objet(replace_field(record, position, parse_long(field->text, field->length)));
  }
}

void convert_numeric_fields(objet* report) {
  for (objet* node = report; is_list(node); node = node->next) convert_record_fields(node->item);
}
