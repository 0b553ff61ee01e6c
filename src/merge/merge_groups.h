#pragma once

#include "merge/merge_cache.h"
#include "report/objet.h"

// Structural merge of group lists. A group list is a chain of nodes whose
// items are groups; a group is a chain of elements (XI block, DS block, DT or
// XE element). The incoming side's nodes are given so that what moves to the
// target is detached from them (they keep an empty item).

// Merges every group of the incoming list into the target list; the cache,
// when given, belongs to the merged tree of the target.
void merge_groups(objet* target, objet* incoming, merge_cache* cache = nullptr);
void merge_group_into(objet* target_group, objet* group, merge_cache* cache = nullptr);
