// Large tables and buffers filled or read at random: in pages of 2 MiB, where
// the system gives them on request, filling them takes one fault per 2 MiB
// instead of one per 4 KiB, and a lookup seldom misses the address cache.
// On a virtual machine a 4 KiB fault can cost more than clearing its page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

namespace dz {

// Asks for huge pages for the whole 2 MiB pages inside [data, data + bytes),
// before they are first touched. Does nothing where the system has no such
// request (Windows) or refuses it.
void adviseHugePages(const void* data, size_t bytes);

// Whether a request of `bytes` is mapped for itself on a huge-page boundary
// (2 MiB or more, where the system has huge pages), and the mapping: zeroed,
// huge pages asked for; std::bad_alloc when the system cannot give it.
bool mapsLarge(size_t bytes);
void* mapLarge(size_t bytes);
void unmapLarge(void* data, size_t bytes);

// The allocator of a vector that may grow large: its memory of 2 MiB or
// more comes mapped as above, the rest from the heap.
template <typename T>
struct LargeAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = LargeAllocator<U>;
  };
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}  // NOLINT: converting, as std::allocator's

  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    if (mapsLarge(n * sizeof(T))) return static_cast<T*>(mapLarge(n * sizeof(T)));
    return std::allocator<T>::allocate(n);
  }
  void deallocate(T* p, size_t n) noexcept {
    if (mapsLarge(n * sizeof(T)))
      unmapLarge(p, n * sizeof(T));
    else
      std::allocator<T>::deallocate(p, n);
  }
};

// A block of zeroed memory for a table or buffer that may be large. One of
// 2 MiB or more starts on a 2 MiB boundary and asks for huge pages, so that
// every page of it may be one; its pages are cleared by the system when
// first touched, and those never touched take no memory. A smaller one (or
// any, where the system has no huge pages) comes from calloc.
class LargeBlock {
 public:
  LargeBlock() = default;
  // Throws std::bad_alloc when the memory cannot be had.
  explicit LargeBlock(size_t bytes);
  LargeBlock(LargeBlock&& other) noexcept { swap(other); }
  LargeBlock& operator=(LargeBlock&& other) noexcept {
    LargeBlock(std::move(other)).swap(*this);
    return *this;
  }
  LargeBlock(const LargeBlock&) = delete;
  LargeBlock& operator=(const LargeBlock&) = delete;
  ~LargeBlock();

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  void swap(LargeBlock& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(mapped_, other.mapped_);
  }

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  bool mapped_ = false;  // false: calloc gave it
};

}  // namespace dz
