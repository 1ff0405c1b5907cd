#include "base/huge_pages.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
// The heap's free room at its top is told from glibc 2.33 on (mallinfo2).
#if __GLIBC_PREREQ(2, 33)
#define DZ_GLIBC_HEAP_ROOM 1
#endif
#endif

namespace dz {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// The length of the mapping of its own that a block of `bytes` has: whole
// huge pages; 0 for a block of the heap's, or when that and a huge page more
// are more than the address space holds.
[[maybe_unused]] size_t mappedLength(size_t bytes) {
  if (bytes < kHugePage || bytes > SIZE_MAX - 2 * kHugePage) return 0;
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
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
  // A mapping of its own rather than a block of the heap's: the heap may
  // have the room, but not zeroed and not on a boundary, and what it frees
  // it keeps.
  if (bytes >= kHugePage) {
    const size_t length = mappedLength(bytes);
    if (length == 0) return nullptr;  // no such run of addresses
    // Mapped a huge page longer, to find the boundary in; the rest unmapped.
    void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t data = (start + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
    if (data > start) munmap(mapped, data - start);
    if (start + kHugePage > data) munmap(reinterpret_cast<void*>(data + length), start + kHugePage - data);
    adviseHugePages(reinterpret_cast<void*>(data), length);
    return reinterpret_cast<void*>(data);
  }
#endif
  return std::malloc(bytes > 0 ? bytes : 1);
}

void freeHuge(void* data, [[maybe_unused]] size_t bytes) noexcept {
  if (!data) return;
#ifdef __linux__
  if (const size_t length = mappedLength(bytes)) {
    munmap(data, length);
    return;
  }
#endif
  std::free(data);
}

void* callocHuge(size_t bytes) {
#ifdef __linux__
  if (bytes >= kHugePage) return allocateHuge(bytes);  // fresh pages come zeroed
#endif
  return std::calloc(bytes > 0 ? bytes : 1, 1);
}

size_t growHeapInHugePages([[maybe_unused]] size_t room, [[maybe_unused]] size_t largest) {
#if defined(__linux__) && defined(DZ_GLIBC_HEAP_ROOM)
  // glibc grows its heap by what a block needs and M_TOP_PAD more. Each
  // growth is a mapping of its own that has not asked for huge pages, so the
  // heap is grown here once, by all of `room`, and that growth is advised.
  if (room > INT_MAX / 2 || largest > room / 2 || largest == 0) return 0;
  const int pad = static_cast<int>(room);
  // glibc's own value of the three settings.
  constexpr int kDefault = 128 * 1024;
  const auto settle = [](int trim, int mmapFrom) {
    mallopt(M_TRIM_THRESHOLD, trim);
    mallopt(M_MMAP_THRESHOLD, mmapFrom);
  };
  if (mallopt(M_TOP_PAD, pad) != 1) return 0;  // not glibc's heap (a sanitizer's allocator)
  // A block longer than all the heap has free makes it grow: no free block
  // and not the room at the top can hold it. Freed, it stays in the heap.
  const size_t request = mallinfo2().fordblks + 64;
  // The room is kept rather than handed back at a free (short of twice the
  // room), and blocks of up to `largest` come from it; the growing block
  // too, however large (glibc takes up to 32 MiB here).
  settle(2 * pad, static_cast<int>(std::max(largest, std::min<size_t>(request + 1, INT_MAX))));
  const auto before = reinterpret_cast<uintptr_t>(sbrk(0));
  // Through a volatile pointer: a block never used may be left unmade by
  // the compiler.
  void* volatile grow = std::malloc(request);
  const auto after = reinterpret_cast<uintptr_t>(sbrk(0));
  std::free(grow);
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(largest));
  // Later growths by what a block needs, as before: one as large as the
  // room could fail under a limit on memory where a small one would not.
  mallopt(M_TOP_PAD, kDefault);
  // The heap's note of its free room went just past the block: the advice
  // starts after it, as a page touched before the advice would keep its
  // 2 MiB in small pages.
  const uintptr_t begin = (before + request + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
  const uintptr_t end = after & ~uintptr_t{kHugePage - 1};
  // The heap could not grow (a limit on the process's data), or the system
  // has no huge pages to ask for: the heap as glibc keeps it.
  if (after <= before || end <= begin || madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE) != 0) {
    settle(kDefault, kDefault);
    return 0;
  }
  return end - begin;
#else
  return 0;
#endif
}

}  // namespace dz
