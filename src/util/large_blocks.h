#pragma once

// Blocks of malloc from LARGE_BLOCKS_MAPPED_FROM bytes on are each mapped
// from the system and go back to it when freed. glibc raises that threshold
// with every large block freed, after which the arrays that grow by copying
// (a merged list's time order, a report's top-level array) leave holes in
// the heap that it keeps to the end of the run, its peak included. Called
// once, first thing.
void keep_large_blocks_mapped();

constexpr int LARGE_BLOCKS_MAPPED_FROM = 128 * 1024;
