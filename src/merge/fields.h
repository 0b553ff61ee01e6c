#pragma once

// Field access by position: 0 is the keyword, i the i-th field.

#include "report/objet.h"

objet* replace_field(objet* record, int i, objet* cell);

// Inline: time keys and shifts read a field of every record they pass.
inline objet* node_at(objet* list, int i) {
  objet* node = list;
  for (int step = 0; is_list(node) && step < i; ++step) node = node->next;
  return is_list(node) ? node : nullptr;
}

// A record shorter than the position yields nothing; callers decide.
inline objet* field_at(objet* record, int i) {
  objet* node = node_at(record, i);
  return node ? node->item : nullptr;
}

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
