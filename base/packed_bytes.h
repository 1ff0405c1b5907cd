// A run of bytes written at its end and read back by offset, for records of
// many sizes packed one after another. Its room is a LargeBlock: the system
// clears the pages as they are first written (in huge pages where it can),
// and nothing clears them before (a vector would write each byte twice). It
// grows by copying into a block twice as large; a caller that knows what it
// will hold reserves that at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/huge_pages.h"

namespace dz {

class PackedBytes {
 public:
  // Room for `n` more bytes at the end, where the next record starts: it
  // counts once taken (take), and stays valid until the next room or
  // reserve, which keep only the bytes taken.
  uint8_t* room(size_t n) {
    if (n > block_.size() - size_) grow(n);
    return block_.data() + size_;
  }
  void take(size_t n) { size_ += n; }
  // Room for `n` bytes in all without growing.
  void reserve(size_t n) {
    if (n > block_.size()) moveTo(n);
  }

  size_t size() const { return size_; }
  const uint8_t* data() const { return block_.data(); }
  uint8_t* data() { return block_.data(); }
  void clear() {
    block_ = LargeBlock();
    size_ = 0;
  }

 private:
  void grow(size_t n) {
    // Doubled until the room fits; a size past what the address space holds
    // (a 32-bit build's 4 GiB) is memory the system cannot give.
    if (n > SIZE_MAX / 2 - size_) throw std::bad_alloc();
    size_t capacity = block_.size() < 2048 ? 2048 : block_.size();
    do {
      if (capacity > SIZE_MAX / 2) throw std::bad_alloc();
      capacity *= 2;
    } while (capacity - size_ < n);
    moveTo(capacity);
  }
  void moveTo(size_t capacity) {
    LargeBlock grown(capacity);
    if (size_ > 0) std::memcpy(grown.data(), block_.data(), size_);
    block_.swap(grown);
  }

  LargeBlock block_;
  size_t size_ = 0;
};

}  // namespace dz
