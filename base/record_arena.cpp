#include "base/record_arena.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "base/huge_pages.h"
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

void RecordArena::reserve(size_t n) {
  if (n <= left_) return;
  // A large chunk starts on a huge page's boundary, found inside a chunk
  // larger by one such page; the bytes before it are never touched.
  constexpr size_t kHuge = size_t{2} << 20;
  const size_t slack = n >= kHuge ? kHuge : 0;
  if (n > SIZE_MAX - slack) return;
  // Only a hint: a 32-bit process may find no run of addresses this long
  // where the same bytes in chunks would fit.
  std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[n + slack]);
  if (!chunk) return;
  const auto start = reinterpret_cast<uintptr_t>(chunk.get());
  next_ = chunk.get() + (slack ? (kHuge - start % kHuge) % kHuge : 0);
  chunks_.push_back(std::move(chunk));
  adviseHugePages(next_, n);
  prefaultPages(next_, n);
  left_ = n;
}

}  // namespace dz
