#include "util/mapped_room.h"

#include <sys/mman.h>

#include "util/out_of_memory.h"

void* map_room(size_t bytes) {
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (block == MAP_FAILED) out_of_memory();
  return block;
}

void unmap_room(void* block, size_t bytes) { munmap(block, bytes); }
