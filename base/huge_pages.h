// Large tables and buffers filled or read at random: in pages of 2 MiB, where
// the system gives them on request, filling them takes one fault per 2 MiB
// instead of one per 4 KiB, and a lookup seldom misses the address cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace dz {

// Asks for huge pages for the whole 2 MiB pages inside [data, data + bytes),
// before they are first touched. Does nothing where the system has no such
// request (Windows) or refuses it.
void adviseHugePages(const void* data, size_t bytes);

// Memory for a large table that may grow (a vector's room), freed with
// free(): a large one on a 2 MiB boundary and rounded up to whole huge
// pages, which it asks for, as callocHuge's. Null when it cannot be had.
void* allocateHuge(size_t bytes);

// A vector's allocator that takes its room with allocateHuge.
template <typename T>
struct HugePageAllocator {
  using value_type = T;
  HugePageAllocator() = default;
  template <typename U>
  HugePageAllocator(const HugePageAllocator<U>&) noexcept {}  // NOLINT: converting, as std::allocator's
  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    void* p = allocateHuge(n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t) noexcept { std::free(p); }
  template <typename U>
  bool operator==(const HugePageAllocator<U>&) const noexcept {
    return true;
  }
  template <typename U>
  bool operator!=(const HugePageAllocator<U>&) const noexcept {
    return false;
  }
};

// Zeroed memory for a large table read at random: `bytes` or more on a
// 2 MiB boundary, in huge pages from its first byte to its last where the
// system gives them, instead of the 4 KiB pages at both ends that a block
// of calloc's would have. Null when the memory cannot be had; `block` is
// what to free().
void* callocHuge(size_t bytes, void*& block);

}  // namespace dz
