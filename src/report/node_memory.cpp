#include "report/node_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>
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
// than the records' own work. It is mapped straight from the system, twice
// its size so that an aligned slab lies within, the rest given back: malloc
// would serve it from its heap once its mapping threshold has grown past the
// slab (it grows with every large block freed, such as a report's top-level
// array), where the alignment's padding cost a sixth more memory.
char* aligned_slab() {
  void* mapped = mmap(nullptr, 2 * SLAB_SIZE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  char* const start = static_cast<char*>(mapped);
  char* const slab = start + (SLAB_SIZE - reinterpret_cast<uintptr_t>(start) % SLAB_SIZE) % SLAB_SIZE;
  if (slab != start) munmap(start, static_cast<size_t>(slab - start));
  munmap(slab + SLAB_SIZE, static_cast<size_t>(start + 2 * SLAB_SIZE - (slab + SLAB_SIZE)));
  return slab;
}

char* new_slab() {
  char* slab = aligned_slab();
  if (!slab) return static_cast<char*>(checked_malloc(SLAB_SIZE));
#if defined(MADV_HUGEPAGE)
  madvise(slab, SLAB_SIZE, MADV_HUGEPAGE);
#endif
  return slab;
}

// Every slab stays reachable, so that memory left to the end of the process
// is no leak; never destroyed, since static destructors run before the leak
// checkers look.
std::vector<char*>& slabs = *new std::vector<char*>;
std::mutex slabs_mutex;

char* kept_slab() {
  char* slab = new_slab();
  std::lock_guard<std::mutex> lock(slabs_mutex);
  slabs.push_back(slab);
  return slab;
}

struct slab_cut {
  char* unused = nullptr;  // the current slab's bytes never taken yet
  char* end = nullptr;

  void* take(size_t size) {
    if (static_cast<size_t>(end - unused) < size) {
      unused = kept_slab();
      end = unused + SLAB_SIZE;
    }
    void* block = unused;
    unused += size;
    return block;
  }
};

// A thread cuts slabs of its own: a report read and shaped on a worker lies
// in reading order as one read on the main thread does, and no cut waits
// on another thread's.
thread_local slab_cut node_slabs, record_slabs;
}  // namespace

// What is given back is not taken again. A report read into the holes the
// earlier ones left (records dropped or merged away) lies scattered over the
// slabs, and every pass over it then waits on memory; from fresh slabs it
// lies in reading order. The holes cost about a fifth more memory; the
// scatter cost up to a third of a run's time.
void* take_node_memory(size_t size) { return node_slabs.take(size); }
void give_back_node_memory(void*) {}
void* take_record_memory(size_t size) { return record_slabs.take(size); }
void give_back_record_memory(void*, size_t) {}
bool memory_released_one_by_one() { return false; }
#endif
