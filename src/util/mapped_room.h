#pragma once

// An allocator for arrays given far more room than they usually fill, so that
// they never move: a large block is mapped straight from the system, whose
// pages take memory only once written, and the room never used costs
// nothing. A small block comes from operator new, as any other.

#include <cstddef>
#include <new>

void* map_room(size_t bytes);
void unmap_room(void* block, size_t bytes);
constexpr size_t MAPPED_ROOM_FROM = size_t{1} << 20;

template <typename T>
struct mapped_room_allocator {
  using value_type = T;

  mapped_room_allocator() = default;
  template <typename U>
  mapped_room_allocator(const mapped_room_allocator<U>&) {}

  T* allocate(size_t n) {
    const size_t bytes = n * sizeof(T);
    return static_cast<T*>(bytes < MAPPED_ROOM_FROM ? ::operator new(bytes) : map_room(bytes));
  }
  void deallocate(T* block, size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < MAPPED_ROOM_FROM)
      ::operator delete(block);
    else
      unmap_room(block, bytes);
  }
  template <typename U>
  bool operator==(const mapped_room_allocator<U>&) const { return true; }
  template <typename U>
  bool operator!=(const mapped_room_allocator<U>&) const { return false; }
};
