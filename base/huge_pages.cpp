#include "base/huge_pages.h"

#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace dz {

void adviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] size_t bytes) {
#ifdef __linux__
  constexpr uintptr_t kHuge = 2u << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void* allocateHuge(size_t bytes) {
#ifdef __linux__
  constexpr size_t kHuge = size_t{2} << 20;
  if (bytes >= kHuge && bytes <= SIZE_MAX - kHuge) {
    const size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
    void* data = std::aligned_alloc(kHuge, rounded);
    if (data) adviseHugePages(data, rounded);
    return data;
  }
#endif
  return std::malloc(bytes > 0 ? bytes : 1);
}

void* callocHuge(size_t bytes, void*& block) {
  block = nullptr;
#ifdef __linux__
  constexpr size_t kHuge = size_t{2} << 20;
  if (bytes >= kHuge && bytes <= SIZE_MAX - 2 * kHuge) {
    // Rounded up to whole huge pages, with one more to find the boundary in.
    const size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
    block = std::calloc(rounded + kHuge, 1);
    if (!block) return nullptr;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    void* data = reinterpret_cast<void*>(start);
    adviseHugePages(data, rounded);
    return data;
  }
#endif
  block = std::calloc(bytes > 0 ? bytes : 1, 1);
  return block;
}

}  // namespace dz
