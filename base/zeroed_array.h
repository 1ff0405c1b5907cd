// A fixed number of plain records that start all zero, in a LargeBlock: a
// large array comes as fresh pages that the system has zeroed already (in
// huge pages where it can), with no fill on top (a vector would write every
// byte once more).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

#include "base/huge_pages.h"

namespace dz {

template <typename T>
class ZeroedArray {
  static_assert(std::is_trivially_copyable<T>::value, "plain records only: all-zero bytes must be a value");
  static_assert(alignof(T) <= alignof(std::max_align_t), "calloc's alignment");

 public:
  ZeroedArray() = default;
  explicit ZeroedArray(size_t n) : block_(bytesFor(n)), size_(n) {}

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return reinterpret_cast<T*>(block_.data()); }
  const T* data() const { return reinterpret_cast<const T*>(block_.data()); }
  T& operator[](size_t i) { return data()[i]; }
  const T& operator[](size_t i) const { return data()[i]; }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size_; }
  void swap(ZeroedArray& other) noexcept {
    block_.swap(other.block_);
    std::swap(size_, other.size_);
  }

 private:
  static size_t bytesFor(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return n * sizeof(T);
  }

  LargeBlock block_;
  size_t size_ = 0;
};

}  // namespace dz
