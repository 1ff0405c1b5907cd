#include "base/huge_pages.h"

#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace dz {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// `bytes` rounded up to whole huge pages, with `spare` more pages; 0 when
// that is more than the address space holds.
[[maybe_unused]] size_t wholeHugePages(size_t bytes, size_t spare) {
  if (bytes > SIZE_MAX - (spare + 1) * kHugePage) return 0;
  return (bytes + kHugePage - 1) / kHugePage * kHugePage + spare * kHugePage;
}

}  // namespace

void adviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] size_t bytes) {
#ifdef __linux__
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~uintptr_t{kHugePage - 1};
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void* allocateHuge(size_t bytes) {
#ifdef __linux__
  if (const size_t rounded = bytes >= kHugePage ? wholeHugePages(bytes, 0) : 0) {
    void* data = std::aligned_alloc(kHugePage, rounded);
    if (data) adviseHugePages(data, rounded);
    return data;
  }
#endif
  return std::malloc(bytes > 0 ? bytes : 1);
}

void* callocHuge(size_t bytes, void*& block) {
#ifdef __linux__
  // Whole huge pages and one more, to find the boundary in: calloc takes
  // no alignment, and its large blocks come zeroed by the system for free.
  if (const size_t rounded = bytes >= kHugePage ? wholeHugePages(bytes, 1) : 0) {
    block = std::calloc(rounded, 1);
    if (!block) return nullptr;
    void* data = reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(block) + kHugePage - 1) &
                                         ~uintptr_t{kHugePage - 1});
    adviseHugePages(data, rounded - kHugePage);
    return data;
  }
#endif
  block = std::calloc(bytes > 0 ? bytes : 1, 1);
  return block;
}

}  // namespace dz
