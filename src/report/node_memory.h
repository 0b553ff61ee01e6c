#pragma once

// Where tree nodes and records get their memory. A report holds millions of
// each: both are cut from slabs in the order they are made, and what is
// given back stays where it is (see node_memory.cpp); what a tree holds at
// the end goes with the process, which a walk releasing it would only
// delay. Sanitizer builds take every node and record from malloc and give
// each back, so that a leak or a use after release is still caught.

#include <cstddef>

void* take_node_memory(size_t size);
void give_back_node_memory(void* node);
// Sizes are multiples of four, far smaller than a slab; blocks are
// four-byte aligned at least (sixteen from malloc).
void* take_record_memory(size_t size);
void give_back_record_memory(void* block, size_t size);
// Whether given-back memory is released at once (sanitizer builds); else a
// tree the run needs no more at its end may as well stay where it is.
bool memory_released_one_by_one();
