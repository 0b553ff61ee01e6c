#include "report/cell_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <vector>

#include "util/checked.h"

#if defined(__SANITIZE_ADDRESS__)
#define MEMORY_FROM_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MEMORY_FROM_MALLOC 1
#endif
#endif

#if defined(MEMORY_FROM_MALLOC)
void* take_node_memory(size_t size) { return checked_malloc(size); }
void give_back_node_memory(void* node) { free(node); }
void* take_record_memory(size_t size) { return checked_malloc(size); }
void give_back_record_memory(void* block, size_t) { free(block); }
bool memory_released_one_by_one() { return true; }
#else
namespace {
const size_t SLAB_SIZE = 2u << 20;

// A slab is one huge page where the system offers them on request: a large
// run touches hundreds of megabytes, and a fault per 4 KiB page costs more
// than the records' own work.
char* new_slab() {
  void* slab = aligned_alloc(SLAB_SIZE, SLAB_SIZE);
  if (!slab) slab = checked_malloc(SLAB_SIZE);
#if defined(MADV_HUGEPAGE)
  madvise(slab, SLAB_SIZE, MADV_HUGEPAGE);
#endif
  return static_cast<char*>(slab);
}

// Every slab stays reachable, so that memory left to the end of the process
// is no leak; never destroyed, since static destructors run before the leak
// checkers look.
std::vector<char*>& slabs = *new std::vector<char*>;

struct slab_cut {
  char* unused = nullptr;  // the current slab's bytes never taken yet
  char* end = nullptr;

  void* take(size_t size) {
    if (static_cast<size_t>(end - unused) < size) {
      unused = new_slab();
      slabs.push_back(unused);
      end = unused + SLAB_SIZE;
    }
    void* block = unused;
    unused += size;
    return block;
  }
};

// Blocks given back, by size in eight-byte words, each holding the next;
// larger ones are rare enough to stay where they are.
const size_t REUSED_WORDS = 128;
void* given_back[REUSED_WORDS + 1];

slab_cut node_slabs, record_slabs;

void* take(slab_cut* slabs, size_t size) {
  void* block = size / 8 <= REUSED_WORDS ? given_back[size / 8] : nullptr;
  if (!block) return slabs->take(size);
  given_back[size / 8] = *static_cast<void**>(block);
  return block;
}

void give_back(void* block, size_t size) {
  if (size / 8 > REUSED_WORDS) return;
  *static_cast<void**>(block) = given_back[size / 8];
  given_back[size / 8] = block;
}
}  // namespace

void* take_node_memory(size_t size) { return take(&node_slabs, size); }
void give_back_node_memory(void* node) { give_back(node, 16); }
void* take_record_memory(size_t size) { return take(&record_slabs, size); }
void give_back_record_memory(void* block, size_t size) { give_back(block, size); }
bool memory_released_one_by_one() { return false; }
#endif
