#include "base/record_arena.h"

#include <cstring>

namespace dz {

uint8_t* RecordArena::copy(const void* data, size_t n) {
  if (n == 0) return nullptr;
  uint8_t* at;
  if (n > kChunkSize / 4) {
    // A large run has a chunk of its own; the current one goes on being filled.
    chunks_.emplace_back(new uint8_t[n]);
    at = chunks_.back().get();
  } else {
    if (n > left_) {
      // Left uninitialised: every byte is written before it is read.
      chunks_.emplace_back(new uint8_t[kChunkSize]);
      next_ = chunks_.back().get();
      left_ = kChunkSize;
    }
    at = next_;
    next_ += n;
    left_ -= n;
  }
  std::memcpy(at, data, n);
  return at;
}

}  // namespace dz
