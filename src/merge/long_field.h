#pragma once

#include "merge/fields.h"
#include "report/objet.h"

// The number cell at a field position, or nothing when the record is shorter
// or the field was not converted to a number.
inline objet* long_at(objet* record, int i) {
  objet* cell = field_at(record, i);
  return cell && cell->type == OBJ_LONG ? cell : nullptr;
}

// The text cell at a field position, or nothing.
inline objet* string_at(objet* record, int i) {
  objet* cell = field_at(record, i);
  return is_string(cell) ? cell : nullptr;
}
