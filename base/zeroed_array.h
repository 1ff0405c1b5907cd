// A fixed number of plain records that start all zero (callocHuge): a
// large array comes as fresh pages that the system has zeroed already, with
// no fill on top (a vector would write every byte once more).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "base/huge_pages.h"

namespace dz {

template <typename T>
class ZeroedArray {
  static_assert(std::is_trivially_copyable<T>::value, "plain records only: all-zero bytes must be a value");

 public:
  ZeroedArray() = default;
  // A large array lies on a 2 MiB boundary and asks for huge pages
  // (callocHuge): a table read at random misses the address cache less.
  explicit ZeroedArray(size_t n) : size_(n) {
    if (n == 0) return;
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    data_ = static_cast<T*>(callocHuge(n * sizeof(T)));
    if (!data_) throw std::bad_alloc();
  }
  ~ZeroedArray() { freeHuge(data_, size_ * sizeof(T)); }

  ZeroedArray(ZeroedArray&& other) noexcept { swap(other); }
  ZeroedArray(const ZeroedArray&) = delete;
  ZeroedArray& operator=(const ZeroedArray&) = delete;
  ZeroedArray& operator=(ZeroedArray&& other) noexcept {
    ZeroedArray(std::move(other)).swap(*this);
    return *this;
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  void swap(ZeroedArray& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
  }

 private:
  T* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace dz
