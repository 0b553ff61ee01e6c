#include "util/large_blocks.h"

#include <malloc.h>

// Setting the threshold also stops glibc from moving it.
void keep_large_blocks_mapped() { mallopt(M_MMAP_THRESHOLD, LARGE_BLOCKS_MAPPED_FROM); }
