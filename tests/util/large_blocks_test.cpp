#include "util/large_blocks.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>

namespace {
// What the test takes and frees, so that no call is optimised away.
void* volatile taken;

bool glibc_maps_large_blocks() {
  const size_t mapped_before = mallinfo2().hblks;
  taken = malloc(size_t{64} << 20);  // past any threshold glibc moves to
  const bool mapped = mallinfo2().hblks > mapped_before;
  free(taken);
  return mapped;
}

bool smaller_block_mapped_apart() {
  keep_large_blocks_mapped();
  taken = malloc(size_t{8} << 20);
  free(taken);
  const size_t mapped = mallinfo2().hblks;
  taken = malloc(LARGE_BLOCKS_MAPPED_FROM * 4);
  const bool apart = mallinfo2().hblks == mapped + 1;
  free(taken);
  return apart;
}
}  // namespace

// Once a large block is freed, a smaller one past the threshold is still
// mapped apart, where glibc alone would take it from the heap. In a process
// of its own: a block the tests before freed could serve it from the heap.
TEST(LargeBlocks, StayMappedAfterALargerOneIsFreed) {
  if (!glibc_maps_large_blocks()) GTEST_SKIP() << "malloc is not glibc's here";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(_exit(smaller_block_mapped_apart() ? 0 : 1), testing::ExitedWithCode(0), "");
}
