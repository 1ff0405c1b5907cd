#include "base/record_arena.h"

#include <algorithm>
#include <cstring>

#include "base/prefault.h"

namespace dz {

uint8_t* RecordArena::copy(const void* data, size_t n) {
  if (n == 0) return nullptr;
  uint8_t* at;
  if (n > kLargestChunk / 4) {
    // A large run has a chunk of its own; the current one goes on being filled.
    chunks_.emplace_back(new uint8_t[n]);
    at = chunks_.back().get();
    prefaultPages(at, n);
  } else {
    if (n > left_) {
      // Left uninitialised: every byte is written before it is read. Its
      // pages are made at once: all but the last chunk fill up.
      const size_t size = std::max(nextChunk_, n);
      chunks_.emplace_back(new uint8_t[size]);
      next_ = chunks_.back().get();
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

}  // namespace dz
