#pragma once

#include "report/objet.h"

// Structural merge of group lists. A group list is a chain of nodes whose
// items are groups; a group is a chain of elements (XI block, DS block, DT or
// XE element). The incoming side's nodes are given so that what moves to the
// target is detached from them (they keep an empty item).

// Merges every group of the incoming list into the target list.
void merge_groups(objet* target, objet* incoming);
void merge_group_into(objet* target_group, objet* group);
// target_group is a group; the blocks are given by the group nodes that hold
// them (either may be null).
void merge_block(objet* target_group, objet* target_holder, objet* incoming_holder);
void merge_ds_block(objet* target_group, objet* target_holder, objet* incoming_holder);
