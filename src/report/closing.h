#pragma once

#include "report/objet.h"

// Inserts after every construct that the report only opens (PP, DA, EV, DX,
// SN, DW, CO and RE runs) its synthesized closing record, and an FW record
// after every DW run.
objet* add_closing_records(objet* chain);

// One rule over a chain that starts with a head node; keys are chains of
// string cells, the callback an OBJ_FUNCTION cell given list2(node before
// the opener, last node of the run or the opener itself).
void close_blocks(objet* head, objet* opening_keys, objet* member_keys, objet* callback);
// The same from the successor of start, for the first n blocks only.
void close_blocks_after(int n, objet* start, objet* opening_keys, objet* member_keys,
                        objet* callback);

objet* find_before(objet* node, objet* keys);
objet* run_end(objet* node, objet* member_keys);
bool keyword_in(objet* keys, const objet* keyword);

void add_fw_record(objet* argument);
void co_rule(objet* argument);

// The top-level node of a record made of one keyword cell; the head of the
// tree passes uses the keyword of two blanks.
objet* keyword_only_node(const char* keyword, uint32_t kind);
