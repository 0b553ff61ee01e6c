#include "util/large_blocks.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>

namespace {
// What the test takes and frees, so that no call is optimised away.
void* volatile taken;
}  // namespace

// Once a large block is freed, a smaller one past the threshold is still
// mapped apart, where glibc alone would take it from the heap.
TEST(LargeBlocks, StayMappedAfterALargerOneIsFreed) {
  const size_t mapped_before = mallinfo2().hblks;
  taken = malloc(size_t{64} << 20);  // past any threshold glibc moves to
  const bool glibc_maps = mallinfo2().hblks > mapped_before;
  free(taken);
  if (!glibc_maps) GTEST_SKIP() << "malloc is not glibc's here";
  keep_large_blocks_mapped();
  taken = malloc(size_t{8} << 20);
  free(taken);
  const size_t mapped = mallinfo2().hblks;
  taken = malloc(LARGE_BLOCKS_MAPPED_FROM * 4);
  EXPECT_EQ(mallinfo2().hblks, mapped + 1);
  free(taken);
}
