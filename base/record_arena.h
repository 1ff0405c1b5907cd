// Bytes that stay where they are put until the arena is dropped, in chunks
// that grow from 4 KiB to 8 MiB: for many small runs kept as long as their
// owner (the vertices and blocks of a file's features, the texts of a
// conversion), without an allocation, its header and its rounding for each,
// and without megabytes for an owner that keeps a few. The large chunks of a
// large owner come in huge pages (LargeBlock); the pages of a chunk that are
// never reached take no memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/huge_pages.h"

namespace dz {

class RecordArena {
 public:
  // Where a copy of the n bytes now lies; null for none.
  uint8_t* copy(const void* data, size_t n);

 private:
  static constexpr size_t kFirstChunk = 1 << 12;
  static constexpr size_t kLargestChunk = 8 << 20;
  std::vector<LargeBlock> chunks_;
  size_t nextChunk_ = kFirstChunk;  // the size of the next chunk
  uint8_t* next_ = nullptr;
  size_t left_ = 0;
};

}  // namespace dz
