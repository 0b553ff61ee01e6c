#pragma once

// Times of records: the time field of each kind, the fixed time of closing
// records, the key a record or a block is ordered by, and the time points
// that give records without time of their own the time before them.

#include <cstdint>

#include "report/objet.h"

// The shared time of closing records (YI, YT, FE, FS), never shifted or scaled.
constexpr uint32_t FIXED_TIME = 33;
extern objet* fixed_time_cell;
void init_fixed_time_cell();

// The time an order key stands for, where time fields hold their times less
// offset (the shift the merged tree owes); the fixed time is no stored value.
uint32_t key_time(const objet* key, uint32_t offset);

// The time field's number cell of a record (the fixed time for closing
// records), or nothing.
objet* time_key(objet* record);
// A record's time key, or a block's: that of its first record with one.
objet* order_key(objet* item);
// Adds a TP record with the last time seen after every record that asks
// for one.
objet* insert_time_points(objet* report);
