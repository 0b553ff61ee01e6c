#pragma once

#include <cstdint>

#include "report/objet.h"

// The shared time of closing records (YI, YT, FE, FS), never shifted or scaled.
constexpr uint32_t FIXED_TIME = 33;
extern objet* fixed_time_cell;
void init_fixed_time_cell();

// Position of the time field of a record kind, 0 when the kind has none of
// its own (closing records use fixed_time_cell).
int time_field_of_kind(uint32_t kind);

// While a merge runs, time fields hold their times less this offset (see
// time_base); the fixed time is no stored value.
extern uint32_t stored_time_offset;
// The time an order key stands for.
uint32_t key_time(const objet* key);
// Whether field position holds the record's time.
bool is_time_field(objet* record, int position);

objet* time_key(objet* record);
objet* order_key(objet* item);
objet* insert_by_time(objet* list, objet* item);
objet* insert_time_points(objet* report);
