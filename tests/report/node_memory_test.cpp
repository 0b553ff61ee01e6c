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
const size_t SLAB_BLOCKS = (2u << 20) / BLOCK;               // a slab's worth, cut for the whole run
const size_t UNTIL_MERGED_SLAB_BLOCKS = (512u << 10) / BLOCK;  // and cut until merged

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
  std::thread cutter([&] { blocks = take_blocks(4 * UNTIL_MERGED_SLAB_BLOCKS, block_life::until_merged); });
  cutter.join();
  EXPECT_GE(slabs_held(), before + 4);
  const size_t kept_index = UNTIL_MERGED_SLAB_BLOCKS + UNTIL_MERGED_SLAB_BLOCKS / 2;
  char* kept = blocks[kept_index];
  for (char* block : blocks)
    if (block != kept) give_back_record_memory(block, BLOCK);
  // The kept block's slab and the cutter's last one, still open, remain.
  EXPECT_LE(slabs_held(), before + 2);
  const std::vector<char> expected(BLOCK, static_cast<char>(kept_index));
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

// While small pages are asked for, a slab opened for the whole run holds
// only the pages cut from it; once they are no more asked for, slabs open in
// huge pages again where the system offers them.
TEST(NodeMemory, SmallPagedSlabsHoldOnlyWhatIsCut) {
  if (memory_released_one_by_one()) GTEST_SKIP() << "every block is malloc's here";
  std::thread cutter([] {
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    char* block = nullptr;
    {
      const small_paged_slabs small_pages;
      take_blocks(SLAB_BLOCKS, block_life::whole_run);  // past the slab open before
      block = take_blocks(1, block_life::whole_run).front();
    }
    auto* slab = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(block) & ~uintptr_t{(2u << 20) - 1});
    std::vector<unsigned char> resident(SLAB_BLOCKS * BLOCK / page);
    ASSERT_EQ(mincore(slab, SLAB_BLOCKS * BLOCK, resident.data()), 0);
    const size_t cut_pages = (static_cast<size_t>(block + BLOCK - static_cast<char*>(slab)) + page - 1) / page;
    size_t pages = 0;
    for (unsigned char state : resident) pages += state & 1;
    EXPECT_LE(pages, cut_pages);
  });
  cutter.join();
}

// An end kept to the end of the run holds only the small pages it lies on,
// not a huge page; the largest record still fits a slab cut until merged.
TEST(NodeMemory, BlocksCutUntilMergedHoldOnlyTheirPages) {
  if (memory_released_one_by_one()) GTEST_SKIP() << "every block is malloc's here";
  std::thread cutter([] {
    char* end = static_cast<char*>(take_record_memory(BLOCK, block_life::until_merged));
    memset(end, 1, BLOCK);
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    auto* slab = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(end) & ~uintptr_t{(2u << 20) - 1});
    std::vector<unsigned char> resident(UNTIL_MERGED_SLAB_BLOCKS * BLOCK / page);
    ASSERT_EQ(mincore(slab, UNTIL_MERGED_SLAB_BLOCKS * BLOCK, resident.data()), 0);
    size_t pages = 0;
    for (unsigned char state : resident) pages += state & 1;
    EXPECT_LE(pages, 2u);
    give_back_record_memory(end, BLOCK);
  });
  cutter.join();
  std::thread large_cutter([] {
    const size_t largest_record = 4 * size_t{UINT16_MAX} + 8;
    for (int i = 0; i < 3; ++i) {
      auto* record = static_cast<char*>(take_record_memory(largest_record, block_life::until_merged));
      memset(record, i, largest_record);
      give_back_record_memory(record, largest_record);
    }
  });
  large_cutter.join();
}
