#include "report/node_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_set>

#include "util/checked.h"

#if defined(__SANITIZE_ADDRESS__)
#define MEMORY_FROM_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MEMORY_FROM_MALLOC 1
#endif
#endif

#if defined(MEMORY_FROM_MALLOC)
void* take_node_memory(size_t size, block_life) { return checked_malloc(size); }
void give_back_node_memory(void* node) { free(node); }
void* take_record_memory(size_t size, block_life) { return checked_malloc(size); }
void give_back_record_memory(void* block, size_t) { free(block); }
void release_uncut_slab_room() {}
small_paged_slabs::small_paged_slabs() : before_(false) {}
small_paged_slabs::~small_paged_slabs() = default;
bool memory_released_one_by_one() { return true; }
size_t slabs_held() { return 0; }
#else
namespace {
const size_t SLAB_SIZE = 2u << 20;
const size_t UNTIL_MERGED_ROOM = 512u << 10;

// Every slab begins with its head, found from any block within it by the
// slab's alignment. A slab cut until merged counts what is live in it: while
// a thread still cuts from it, the count holds OPEN more than the blocks
// given back would leave, so that it reaches zero only once the slab is
// closed and all its blocks are given back.
struct slab_head {
  std::atomic<int64_t> live{0};
  block_life life = block_life::whole_run;
  void* mapping = nullptr;  // what to give back: the mapping, or malloc's block
  bool from_malloc = false;
};
const int64_t OPEN = int64_t{1} << 40;
const size_t HEAD_ROOM = 64;
static_assert(sizeof(slab_head) <= HEAD_ROOM, "a slab's head fits its room");

slab_head* head_of(const void* block) {
  return reinterpret_cast<slab_head*>(reinterpret_cast<uintptr_t>(block) & ~uintptr_t{SLAB_SIZE - 1});
}

// A slab lies at an address aligned to SLAB_SIZE, where its blocks find its
// head. A slab cut for the whole run is one huge page where the system
// offers them on request: a large run touches hundreds of megabytes, and a
// fault per 4 KiB page costs more than the records' own work. A slab cut
// until merged uses only the start of that span, in small pages: the ends
// that stay (the first report's, and those no earlier report had) are
// scattered over every such slab, and each one kept a whole huge page
// resident to the end of the run.
//
// It is mapped straight from the system, twice the span so that an aligned
// one lies within, the rest given back: malloc would serve it from its heap
// once its mapping threshold has grown past the slab, where the alignment's
// padding cost a sixth more memory.
size_t slab_room(block_life life) { return life == block_life::until_merged ? UNTIL_MERGED_ROOM : SLAB_SIZE; }

thread_local bool small_pages_asked = false;

slab_head* aligned_slab(block_life life) {
  const size_t room = slab_room(life);
  void* mapped = mmap(nullptr, 2 * SLAB_SIZE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) {
    // Without a mapping, malloc's block holds an aligned slab as well.
    char* const block = static_cast<char*>(checked_malloc(2 * SLAB_SIZE));
    auto* head = new (block + (SLAB_SIZE - reinterpret_cast<uintptr_t>(block) % SLAB_SIZE) % SLAB_SIZE) slab_head;
    head->mapping = block;
    head->from_malloc = true;
    return head;
  }
  char* const start = static_cast<char*>(mapped);
  char* const slab = start + (SLAB_SIZE - reinterpret_cast<uintptr_t>(start) % SLAB_SIZE) % SLAB_SIZE;
  if (slab != start) munmap(start, static_cast<size_t>(slab - start));
  munmap(slab + room, static_cast<size_t>(start + 2 * SLAB_SIZE - (slab + room)));
#if defined(MADV_HUGEPAGE)
  if (room == SLAB_SIZE && !small_pages_asked) madvise(slab, SLAB_SIZE, MADV_HUGEPAGE);
#endif
  auto* head = new (slab) slab_head;
  head->mapping = slab;
  return head;
}

// Every slab held stays reachable, so that memory left to the end of the
// process is no leak; never destroyed, since static destructors run before
// the leak checkers look.
std::unordered_set<void*>& slabs = *new std::unordered_set<void*>;
std::mutex slabs_mutex;

slab_head* kept_slab(block_life life) {
  slab_head* head = aligned_slab(life);
  head->life = life;
  if (life == block_life::until_merged) head->live.store(OPEN, std::memory_order_relaxed);
  std::lock_guard<std::mutex> lock(slabs_mutex);
  slabs.insert(head->mapping);
  return head;
}

void release_slab(slab_head* head) {
  {
    std::lock_guard<std::mutex> lock(slabs_mutex);
    slabs.erase(head->mapping);
  }
  if (head->from_malloc) {
    free(head->mapping);
  } else {
    munmap(head->mapping, slab_room(head->life));
  }
}

// Taken with every count the slab's blocks left: the last one releases it.
void settle(slab_head* head, int64_t change) {
  if (head->live.fetch_add(change, std::memory_order_acq_rel) + change == 0) release_slab(head);
}

class slab_cut {
 public:
  explicit constexpr slab_cut(block_life life) : life_(life) {}
  slab_cut(const slab_cut&) = delete;
  slab_cut& operator=(const slab_cut&) = delete;

  void* take(size_t size) {
    if (static_cast<size_t>(end_ - unused_) < size) next_slab();
    void* block = unused_;
    unused_ += size;
    ++cut_;
    return block;
  }

  // A slab from malloc, taken when mapping failed, keeps its pages: they are malloc's to manage.
  void release_uncut_room() {
    if (!head_ || head_->from_malloc) return;
    static const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    char* const uncut = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(unused_) + page - 1) & ~(page - 1));
    if (uncut < end_) madvise(uncut, static_cast<size_t>(end_ - uncut), MADV_DONTNEED);
  }

 private:
  void next_slab() {
    if (head_ && life_ == block_life::until_merged) settle(head_, cut_ - OPEN);
    head_ = kept_slab(life_);
    unused_ = reinterpret_cast<char*>(head_) + HEAD_ROOM;
    end_ = reinterpret_cast<char*>(head_) + slab_room(life_);
    cut_ = 0;
  }

  const block_life life_;
  slab_head* head_ = nullptr;
  char* unused_ = nullptr;  // the current slab's bytes never taken yet
  char* end_ = nullptr;
  int64_t cut_ = 0;  // blocks cut from the current slab
};

// A thread cuts slabs of its own: a report read and shaped on a worker lies
// in reading order as one read on the main thread does, and no cut waits
// on another thread's. Blocks cut until merged share their slabs, nodes and
// records alike, in sizes of eight bytes.
struct slab_cuts {
  slab_cut nodes{block_life::whole_run};
  slab_cut records{block_life::whole_run};
  slab_cut until_merged{block_life::until_merged};
};
thread_local slab_cuts cuts;

void give_back(void* block) {
  slab_head* head = head_of(block);
  if (head->life == block_life::until_merged) settle(head, -1);
}
}  // namespace

// What is given back is not taken again. A report read into the holes the
// earlier ones left (records dropped or merged away) lies scattered over the
// slabs, and every pass over it then waits on memory; from fresh slabs it
// lies in reading order. The holes would cost about a fifth more memory, but
// most lie in the slabs cut until merged, which go back whole; the scatter
// cost up to a third of a run's time.
void* take_node_memory(size_t size, block_life life) {
  return (life == block_life::until_merged ? cuts.until_merged : cuts.nodes).take(size);
}
void give_back_node_memory(void* node) { give_back(node); }
void* take_record_memory(size_t size, block_life life) {
  return (life == block_life::until_merged ? cuts.until_merged : cuts.records).take(size);
}
void give_back_record_memory(void* block, size_t) { give_back(block); }
void release_uncut_slab_room() {
  cuts.nodes.release_uncut_room();
  cuts.records.release_uncut_room();
  cuts.until_merged.release_uncut_room();
}
small_paged_slabs::small_paged_slabs() : before_(small_pages_asked) { small_pages_asked = true; }
small_paged_slabs::~small_paged_slabs() { small_pages_asked = before_; }
bool memory_released_one_by_one() { return false; }
size_t slabs_held() {
  std::lock_guard<std::mutex> lock(slabs_mutex);
  return slabs.size();
}
#endif
