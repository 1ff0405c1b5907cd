#include "base/record_arena.h"

#include <algorithm>
#include <cstring>

namespace dz {

uint8_t* RecordArena::copy(const void* data, size_t n) {
  if (n == 0) return nullptr;
  uint8_t* at;
  if (n > kLargestChunk / 4) {
    // A large run has a chunk of its own; the current one goes on being filled.
    chunks_.emplace_back(n);
    at = chunks_.back().data();
  } else {
    if (n > left_) {
      const size_t size = std::max(nextChunk_, n);
      chunks_.emplace_back(size);
      next_ = chunks_.back().data();
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
