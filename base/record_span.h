// Packed records (or bytes) that lie elsewhere, read as a vector is read:
// what C++20 calls a span, for the records the feature store holds.
#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

namespace dz {

template <typename T>
class RecordSpan {
 public:
  RecordSpan() = default;
  RecordSpan(const T* data, size_t size) : data_(data), size_(size) {}
  // A view of the vector's records, for as long as it is not changed.
  RecordSpan(const std::vector<T>& v) : data_(v.data()), size_(v.size()) {}  // NOLINT: a view, as a span converts

  const T* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T& operator[](size_t i) const { return data_[i]; }
  const T& front() const { return data_[0]; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  std::vector<T> copy() const { return std::vector<T>(begin(), end()); }

 private:
  const T* data_ = nullptr;
  size_t size_ = 0;
};

// The records are packed and compared byte for byte.
template <typename T>
bool operator==(const RecordSpan<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

}  // namespace dz
