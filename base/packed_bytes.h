// A run of bytes written at its end and read back by offset, for records of
// many sizes packed one after another. It grows with realloc, which the
// system can do by remapping pages instead of copying them, and its bytes
// are not cleared before they are written (a vector would write each one
// twice). Its pages are made a few at a time just ahead of the end
// (prefaultPages), not each by a fault as it is first written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "base/huge_pages.h"
#include "base/prefault.h"

namespace dz {

class PackedBytes {
 public:
  // Room for `n` more bytes at the end, where the next record starts: it
  // counts once taken (take), and stays valid until the next room or
  // reserve.
  uint8_t* room(size_t n) {
    if (n > capacity_ - size_) grow(n);
    if (n > made_ - size_) makePages(n);
    return data_.get() + size_;
  }
  void take(size_t n) { size_ += n; }
  // Room for `n` bytes in all without moving again: for a caller that knows
  // about what it will hold. A large room asks for huge pages (a fault each
  // 2 MiB as the end reaches it); growing past it then copies the bytes, as
  // the split mapping cannot be remapped.
  void reserve(size_t n) {
    if (n <= capacity_) return;
    moveTo(n);
    adviseHugePages(data_.get() + size_, capacity_ - size_);
  }

  size_t size() const { return size_; }
  const uint8_t* data() const { return data_.get(); }
  uint8_t* data() { return data_.get(); }
  void clear() {
    data_.reset();
    size_ = capacity_ = made_ = 0;
  }

 private:
  void grow(size_t n) {
    // Doubled until the room fits; a size past what the address space holds
    // (a 32-bit build's 4 GiB) is memory the system cannot give.
    if (n > SIZE_MAX / 2 - size_) throw std::bad_alloc();
    size_t capacity = capacity_ < 2048 ? 2048 : capacity_;
    do {
      if (capacity > SIZE_MAX / 2) throw std::bad_alloc();
      capacity *= 2;
    } while (capacity - size_ < n);
    moveTo(capacity);
  }
  void moveTo(size_t capacity) {
    void* grown = std::realloc(data_.get(), capacity);
    if (!grown) throw std::bad_alloc();
    (void)data_.release();
    data_.reset(static_cast<uint8_t*>(grown));
    capacity_ = capacity;
    made_ = size_;  // the pages past the end may be new ones
  }
  // Makes the pages for `n` bytes past the end and some more.
  void makePages(size_t n) {
    constexpr size_t kAhead = size_t{256} << 10;
    const size_t end = capacity_ - size_ - n > kAhead ? size_ + n + kAhead : capacity_;
    prefaultPages(data_.get() + size_, end - size_);
    made_ = end;
  }

  struct Free {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<uint8_t, Free> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
  size_t made_ = 0;  // the pages up to here are made
};

}  // namespace dz
