#pragma once

// Where tree nodes and records get their memory. A report holds millions of
// each: both are cut from slabs in the order they are made. What is given
// back is not taken again (see node_memory.cpp); what a tree holds at the
// end goes with the process, which a walk releasing it would only delay.
// Sanitizer builds take every node and record from malloc and give each
// back, so that a leak or a use after release is still caught.

#include <cstddef>

// How long a block is likely to live. The ends of test items and steps (the
// growing records, and the nodes and blocks that hold them) mostly merge
// into ends already merged and are given back with their report's rest:
// they are cut from slabs of their own, and a slab goes back to the system
// once everything cut from it is given back.
enum class block_life { whole_run, until_merged };

void* take_node_memory(size_t size, block_life life);
void give_back_node_memory(void* node);
// Sizes are multiples of four (of eight when cut until merged), at most a
// record's largest (4 x 65535 bytes and its link); blocks are aligned to
// their size's step at least.
void* take_record_memory(size_t size, block_life life);
void give_back_record_memory(void* block, size_t size);
// The pages of this thread's open slabs past what was cut from them go back
// to the system: a slab cut for the whole run is a huge page where the
// system offers them, so a thread that cuts no more would hold up to a slab
// of each kind idle. Cutting on from them takes a fresh page at a time.
void release_uncut_slab_room();
// While one lives, the slabs this thread opens to cut for the whole run
// take small pages: the last report of a run would otherwise leave up to a
// huge page of each kind resident but uncut until its reading is done, at
// the top of the run's memory. The room they hold is taken as it is cut.
class small_paged_slabs {
 public:
  small_paged_slabs();
  ~small_paged_slabs();
  small_paged_slabs(const small_paged_slabs&) = delete;
  small_paged_slabs& operator=(const small_paged_slabs&) = delete;

 private:
  bool before_;
};
// Whether given-back memory is released at once (sanitizer builds); else a
// tree the run needs no more at its end may as well stay where it is.
bool memory_released_one_by_one();
// Slabs held from the system: what a test of their release observes.
size_t slabs_held();
