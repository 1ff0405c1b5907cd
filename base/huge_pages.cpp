#include "base/huge_pages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace dz {
namespace {

constexpr size_t kHuge = size_t{2} << 20;
constexpr uintptr_t kPage = 4096;

#ifdef __linux__
bool isMapped(size_t bytes) { return bytes >= kHuge; }
size_t mappedSize(size_t bytes) { return (bytes + kHuge - 1) & ~(kHuge - 1); }

// `size` bytes of address space (a multiple of 2 MiB) starting on a 2 MiB
// boundary: a little more is mapped, and what lies outside is given back.
void* mapAligned(size_t size) {
  if (size > SIZE_MAX - kHuge) throw std::bad_alloc();
  void* raw = mmap(nullptr, size + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHuge - 1) & ~(kHuge - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const uintptr_t end = start + size + kHuge;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
  return reinterpret_cast<void*>(aligned);
}
#endif

}  // namespace

void adviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] size_t bytes) {
#ifdef __linux__
  const uintptr_t first = reinterpret_cast<uintptr_t>(data), last = first + bytes;
  // Nothing to ask when no whole 2 MiB page lies inside.
  if ((last & ~(kHuge - 1)) <= ((first + kHuge - 1) & ~(kHuge - 1))) return;
  const uintptr_t begin = first & ~(kPage - 1);
  const uintptr_t end = (last + kPage - 1) & ~(kPage - 1);
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void* allocateZeroedBlock(size_t bytes) {
  if (bytes == 0) return nullptr;
#ifdef __linux__
  if (isMapped(bytes)) {
    // Fresh pages read as zero: nothing is written until the caller does.
    void* block = mapAligned(mappedSize(bytes));
    madvise(block, mappedSize(bytes), MADV_HUGEPAGE);
    return block;
  }
#endif
  void* block = std::calloc(bytes, 1);
  if (!block) throw std::bad_alloc();
  return block;
}

void freeBlock(void* block, [[maybe_unused]] size_t bytes) {
  if (!block) return;
#ifdef __linux__
  if (isMapped(bytes)) {
    munmap(block, mappedSize(bytes));
    return;
  }
#endif
  std::free(block);
}

void* growBlock(void* block, [[maybe_unused]] size_t bytes, size_t grown) {
#ifdef __linux__
  if (isMapped(grown)) {
    if (isMapped(bytes) && mappedSize(grown) == mappedSize(bytes)) return block;
    // The new place is taken first, on a 2 MiB boundary, and the old pages
    // are moved into it without a copy (mremap onto an address already
    // mapped replaces that mapping).
    void* to = mapAligned(mappedSize(grown));
    madvise(to, mappedSize(grown), MADV_HUGEPAGE);
    if (!block) return to;
    if (!isMapped(bytes)) {
      // A small block is copied once, on its way out of the allocator.
      std::memcpy(to, block, bytes);
      std::free(block);
      return to;
    }
    void* moved = mremap(block, mappedSize(bytes), mappedSize(bytes), MREMAP_MAYMOVE | MREMAP_FIXED, to);
    if (moved == MAP_FAILED) {
      std::memcpy(to, block, bytes);
      munmap(block, mappedSize(bytes));
    }
    return to;
  }
#endif
  void* moved = std::realloc(block, grown);
  if (!moved && grown > 0) throw std::bad_alloc();
  return moved;
}

}  // namespace dz
