// A run of bytes written at its end and read back by offset, for records of
// many sizes packed one after another. It grows as a block of huge pages
// that moves by remapping its pages instead of copying them (an index of a
// large file fills tens of megabytes), and its bytes are not cleared before
// they are written (a vector would write each one twice).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "base/huge_pages.h"

namespace dz {

class PackedBytes {
 public:
  PackedBytes() = default;
  ~PackedBytes() { freeBlock(data_, capacity_); }
  PackedBytes(PackedBytes&& other) noexcept { swap(other); }
  PackedBytes& operator=(PackedBytes&& other) noexcept {
    PackedBytes(std::move(other)).swap(*this);
    return *this;
  }
  PackedBytes(const PackedBytes&) = delete;
  PackedBytes& operator=(const PackedBytes&) = delete;

  // Room for `n` more bytes at the end, where the next record starts: it
  // counts once taken (take), and stays valid until the next room.
  uint8_t* room(size_t n) {
    if (n > capacity_ - size_) grow(n);
    return data_ + size_;
  }
  void take(size_t n) { size_ += n; }

  size_t size() const { return size_; }
  const uint8_t* data() const { return data_; }
  uint8_t* data() { return data_; }
  void clear() { PackedBytes().swap(*this); }

 private:
  void swap(PackedBytes& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
  }

  void grow(size_t n) {
    // Doubled until the room fits; a size past what the address space holds
    // (a 32-bit build's 4 GiB) is memory the system cannot give.
    if (n > SIZE_MAX / 2 - size_) throw std::bad_alloc();
    size_t capacity = capacity_ < 2048 ? 2048 : capacity_;
    do {
      if (capacity > SIZE_MAX / 2) throw std::bad_alloc();
      capacity *= 2;
    } while (capacity - size_ < n);
    data_ = static_cast<uint8_t*>(growBlock(data_, capacity_, capacity));
    capacity_ = capacity;
  }

  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace dz
