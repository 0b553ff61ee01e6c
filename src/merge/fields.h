#pragma once

#include "report/objet.h"

// Field access by position: 0 is the keyword, i the i-th field.
objet* field_at(objet* record, int i);
objet* replace_field(objet* record, int i, objet* cell);
objet* node_at(objet* list, int i);
