#pragma once

#include "report/objet.h"

// Structural merge of group lists. A group list is a chain of nodes whose
// items are groups; a group is a chain of elements (XI block, DS block, DT or
// XE element). The incoming side's nodes are given so that what moves to the
// target is detached from them (they keep an empty item).

// Merges every group of the incoming list into the target list.
void merge_groups(objet* target, objet* incoming);
// A group with a DS block into the first target group of the same DS name,
// or the first one without DS block that lacks the group's report; false
// when none takes it.
bool merge_group_by_name(objet* target, objet* incoming_node);
// A group without DS block into the first target group that does not hold
// its report yet, else appended as a new last group.
void merge_group_by_report(objet* target, objet* incoming_node);
// Inserted before the first target group whose DS field 7 is greater; the
// list head stays the same node.
void insert_group_in_order(objet* target, objet* incoming_node);
void merge_group_into(objet* target_group, objet* group);
// target_group is a group; the blocks are given by the group nodes that hold
// them (either may be null).
void merge_block(objet* target_group, objet* target_holder, objet* incoming_holder);
void merge_ds_block(objet* target_group, objet* target_holder, objet* incoming_holder);
// The inner items of incoming go into block in time order, before its
// closing record.
void merge_block_items(objet* block, objet* incoming);
