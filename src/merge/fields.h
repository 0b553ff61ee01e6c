#pragma once

#include "report/objet.h"

// Field access by position: 0 is the keyword, i the i-th field.
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
