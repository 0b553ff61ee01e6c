#pragma once

#include "report/objet.h"

// The shared time of closing records (YI, YT, FE, FS): 33, never shifted or scaled.
extern objet* fixed_time_cell;
void init_fixed_time_cell();

// Position of the time field of a record kind, 0 when the kind has none of
// its own (closing records use fixed_time_cell).
int time_field_of_kind(uint32_t kind);

objet* time_key(objet* record);
objet* order_key(objet* item);
objet* insert_by_time(objet* list, objet* item);
objet* insert_time_points(objet* report);
