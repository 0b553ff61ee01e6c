#include "report/node_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {
const size_t BLOCK = 64;
const size_t SLAB_BLOCKS = (2u << 20) / BLOCK;  // a slab's worth

std::vector<char*> take_blocks(size_t count, block_life life) {
  std::vector<char*> blocks;
  for (size_t i = 0; i < count; ++i) {
    blocks.push_back(static_cast<char*>(take_record_memory(BLOCK, life)));
    memset(blocks.back(), static_cast<int>(i), BLOCK);
  }
  return blocks;
}
}  // namespace

// Slabs cut until merged go back once all they hold is given back, whichever
// thread cut them; a block still held keeps its slab, and slabs cut for the
// whole run stay.
TEST(NodeMemory, SlabsCutUntilMergedGoBackOnceEmpty) {
  if (memory_released_one_by_one()) GTEST_SKIP() << "every block is malloc's here";
  const size_t before = slabs_held();
  std::vector<char*> blocks;
  std::thread cutter([&] { blocks = take_blocks(4 * SLAB_BLOCKS, block_life::until_merged); });
  cutter.join();
  EXPECT_GE(slabs_held(), before + 4);
  char* kept = blocks[SLAB_BLOCKS + SLAB_BLOCKS / 2];
  for (char* block : blocks)
    if (block != kept) give_back_record_memory(block, BLOCK);
  // The kept block's slab and the cutter's last one, still open, remain.
  EXPECT_LE(slabs_held(), before + 2);
  const std::vector<char> expected(BLOCK, static_cast<char>(SLAB_BLOCKS + SLAB_BLOCKS / 2));
  EXPECT_EQ(memcmp(kept, expected.data(), BLOCK), 0);
  give_back_record_memory(kept, BLOCK);
  EXPECT_LE(slabs_held(), before + 1);

  const size_t whole_run_before = slabs_held();
  std::vector<char*> whole_run = take_blocks(2 * SLAB_BLOCKS, block_life::whole_run);
  for (char* block : whole_run) give_back_record_memory(block, BLOCK);
  EXPECT_GE(slabs_held(), whole_run_before + 2);
}
