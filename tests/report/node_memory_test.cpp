#include "report/node_memory.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
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

bool holds_fill(const std::vector<char*>& blocks) {
  for (size_t i = 0; i < blocks.size(); ++i) {
    for (size_t byte = 0; byte < BLOCK; ++byte)
      if (blocks[i][byte] != static_cast<char>(i)) return false;
  }
  return true;
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

// A thread done cutting gives the pages past its cut back (a slab is one huge
// page where the system offers them); what it cut keeps its bytes, and
// cutting goes on where it stopped.
TEST(NodeMemory, UncutRoomGoesBackAndCuttingGoesOn) {
  if (memory_released_one_by_one()) GTEST_SKIP() << "every block is malloc's here";
  std::thread cutter([] {
    const std::vector<char*> before = take_blocks(100, block_life::whole_run);
    release_uncut_slab_room();
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t past_cut = (reinterpret_cast<uintptr_t>(before.back()) + BLOCK + page - 1) & ~(page - 1);
    unsigned char resident = 1;
    ASSERT_EQ(mincore(reinterpret_cast<void*>(past_cut), page, &resident), 0);
    EXPECT_EQ(resident & 1, 0);
    const std::vector<char*> after = take_blocks(100, block_life::whole_run);
    EXPECT_EQ(after.front(), before.back() + BLOCK);
    EXPECT_TRUE(holds_fill(before));
    EXPECT_TRUE(holds_fill(after));
  });
  cutter.join();
}
