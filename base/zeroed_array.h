// A fixed number of plain records that start all zero, taken with calloc: a
// large array comes as fresh pages that the system has zeroed already, with
// no fill on top (a vector would write every byte once more).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace dz {

template <typename T>
class ZeroedArray {
  static_assert(std::is_trivially_copyable<T>::value, "plain records only: all-zero bytes must be a value");

 public:
  ZeroedArray() = default;
  explicit ZeroedArray(size_t n) : data_(n > 0 ? static_cast<T*>(std::calloc(n, sizeof(T))) : nullptr), size_(n) {
    if (n > 0 && !data_) throw std::bad_alloc();
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_.get(); }
  T& operator[](size_t i) { return data_.get()[i]; }
  const T& operator[](size_t i) const { return data_.get()[i]; }
  const T* begin() const { return data_.get(); }
  const T* end() const { return data_.get() + size_; }
  void swap(ZeroedArray& other) noexcept {
    data_.swap(other.data_);
    std::swap(size_, other.size_);
  }

 private:
  struct Free {
    void operator()(T* p) const { std::free(p); }
  };
  std::unique_ptr<T, Free> data_;
  size_t size_ = 0;
};

}  // namespace dz
