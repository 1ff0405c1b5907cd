#include "base/huge_pages.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace dz {

void adviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] size_t bytes) {
#ifdef __linux__
  constexpr uintptr_t kHuge = 2u << 20, kPage = 4096;
  const uintptr_t first = reinterpret_cast<uintptr_t>(data), last = first + bytes;
  // Nothing to ask when no whole 2 MiB page lies inside.
  if (((last & ~(kHuge - 1)) <= ((first + kHuge - 1) & ~(kHuge - 1)))) return;
  const uintptr_t begin = first & ~(kPage - 1);
  const uintptr_t end = (last + kPage - 1) & ~(kPage - 1);
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace dz
