#include "base/huge_pages.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace dz {

namespace {

constexpr uintptr_t kHuge = uintptr_t{2} << 20;

}  // namespace

void adviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] size_t bytes) {
#ifdef __linux__
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

LargeBlock::LargeBlock(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
#ifdef __linux__
  if (bytes >= kHuge) {
    if (bytes > SIZE_MAX - 2 * kHuge) throw std::bad_alloc();
    // A 2 MiB more than the block's whole huge pages, and the bytes before
    // the first boundary and after the last page given back.
    const size_t length = (bytes + kHuge - 1) & ~(kHuge - 1);
    void* mapped = mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kHuge - 1) & ~(kHuge - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    if (start + kHuge > aligned) munmap(reinterpret_cast<void*>(aligned + length), start + kHuge - aligned);
    data_ = reinterpret_cast<uint8_t*>(aligned);
    mapped_ = length;
    madvise(data_, length, MADV_HUGEPAGE);
    return;
  }
#endif
  data_ = static_cast<uint8_t*>(std::calloc(bytes, 1));
  if (!data_) throw std::bad_alloc();
}

LargeBlock::~LargeBlock() {
#ifdef __linux__
  if (mapped_ != 0) {
    munmap(data_, mapped_);
    return;
  }
#endif
  std::free(data_);
}

}  // namespace dz
