// Bytes that stay where they are put until the arena is dropped, in chunks
// that grow from 4 KiB to a megabyte: for many small runs kept as long as
// their owner (the vertices and blocks of a file's features, the texts of a
// conversion), without an allocation, its header and its rounding for each,
// and without a megabyte for an owner that keeps a few.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace dz {

class RecordArena {
 public:
  // Where a copy of the n bytes now lies; null for none.
  uint8_t* copy(const void* data, size_t n);
  // Room for `n` more bytes in one chunk, its pages made at once, for an
  // owner that knows what it will hold (the records of a file it reads): a
  // large chunk asks for pages of 2 MiB, a fault each instead of 512.
  // Dropped when the memory cannot give it in one piece.
  void reserve(size_t n);

 private:
  static constexpr size_t kFirstChunk = 1 << 12;
  static constexpr size_t kLargestChunk = 1 << 20;
  // Frees a chunk of allocateHuge's, of the size it was asked for.
  struct Free {
    size_t size = 0;
    void operator()(uint8_t* p) const;
  };
  // A new chunk of `size` bytes (null: the memory has none, when `hint`).
  uint8_t* newChunk(size_t size, bool hint = false);

  std::vector<std::unique_ptr<uint8_t, Free>> chunks_;
  size_t nextChunk_ = kFirstChunk;  // the size of the next chunk
  uint8_t* next_ = nullptr;
  size_t left_ = 0;
};

}  // namespace dz
