#include "base/record_arena.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "base/huge_pages.h"
#include "base/prefault.h"

namespace dz {

void RecordArena::Free::operator()(uint8_t* p) const { freeHuge(p, size); }

uint8_t* RecordArena::newChunk(size_t size, bool hint) {
  std::unique_ptr<uint8_t, Free> owned(static_cast<uint8_t*>(allocateHuge(size)), Free{size});
  if (!owned) {
    if (hint) return nullptr;
    throw std::bad_alloc();
  }
  chunks_.push_back(std::move(owned));
  return chunks_.back().get();
}

uint8_t* RecordArena::copy(const void* data, size_t n) {
  if (n == 0) return nullptr;
  uint8_t* at;
  if (n > kLargestChunk / 4) {
    // A large run has a chunk of its own; the current one goes on being filled.
    at = newChunk(n);
    prefaultPages(at, n);
  } else {
    if (n > left_) {
      // Left uninitialised: every byte is written before it is read. Its
      // pages are made at once: all but the last chunk fill up.
      const size_t size = std::max(nextChunk_, n);
      next_ = newChunk(size);
      prefaultPages(next_, size);
      left_ = size;
      nextChunk_ = std::min(nextChunk_ * 2, kLargestChunk);
    }
    at = next_;
    next_ += n;
    left_ -= n;
  }
  std::memcpy(at, data, n);
  return at;
}

void RecordArena::reserve(size_t n) {
  if (n <= left_) return;
  // Only a hint: a 32-bit process may find no run of addresses this long
  // where the same bytes in chunks would fit.
  uint8_t* chunk = newChunk(n, true);
  if (!chunk) return;
  next_ = chunk;
  prefaultPages(next_, n);
  left_ = n;
}

}  // namespace dz
