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
// freeHuge: a large one a mapping of its own, on a 2 MiB boundary and
// rounded up to whole huge pages, which it asks for; zeroed by the system
// as callocHuge's. Null when it cannot be had.
void* allocateHuge(size_t bytes);
// Frees what allocateHuge or callocHuge gave for `bytes`.
void freeHuge(void* data, size_t bytes) noexcept;

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
  void deallocate(T* p, size_t n) noexcept { freeHuge(p, n * sizeof(T)); }
  template <typename U>
  bool operator==(const HugePageAllocator<U>&) const noexcept {
    return true;
  }
  template <typename U>
  bool operator!=(const HugePageAllocator<U>&) const noexcept {
    return false;
  }
};

// Zeroed memory for a large table read at random: on a 2 MiB boundary, in
// huge pages from its first byte to its last where the system gives them,
// instead of the 4 KiB pages at both ends that a block of calloc's would
// have. Freed with freeHuge; null when the memory cannot be had.
void* callocHuge(size_t bytes);

// For a program's main: the heap's many small blocks in huge pages too. The
// heap is grown once by `room` bytes, which are asked for in huge pages and
// kept rather than handed back between frees, and blocks of up to
// `largest` bytes come from it rather than from mappings of their own.
// Memory never touched costs nothing; later growths are as glibc makes
// them. Where the allocator or the system does not allow it (Windows,
// another C library, a limit on the process's data), nothing changes; the
// number of bytes advised, 0 then.
size_t growHeapInHugePages(size_t room, size_t largest);

}  // namespace dz
