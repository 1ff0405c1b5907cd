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

bool mapsLarge([[maybe_unused]] size_t bytes) {
#ifdef __linux__
  return bytes >= kHuge;
#else
  return false;
#endif
}

void* mapLarge([[maybe_unused]] size_t bytes) {
#ifdef __linux__
  if (bytes > SIZE_MAX - 2 * kHuge) throw std::bad_alloc();
  // A 2 MiB more than the whole huge pages asked for, and the bytes before
  // the first boundary and after the last page given back.
  const size_t length = (bytes + kHuge - 1) & ~(kHuge - 1);
  void* mapped = mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kHuge - 1) & ~(kHuge - 1);
  if (aligned > start) munmap(mapped, aligned - start);
  munmap(reinterpret_cast<void*>(aligned + length), start + kHuge - aligned);
  madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
#else
  throw std::bad_alloc();
#endif
}

void unmapLarge([[maybe_unused]] void* data, [[maybe_unused]] size_t bytes) {
#ifdef __linux__
  if (data) munmap(data, (bytes + kHuge - 1) & ~(kHuge - 1));
#endif
}

LargeBlock::LargeBlock(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
  if (mapsLarge(bytes)) {
    data_ = static_cast<uint8_t*>(mapLarge(bytes));
    mapped_ = true;
    return;
  }
  data_ = static_cast<uint8_t*>(std::calloc(bytes, 1));
  if (!data_) throw std::bad_alloc();
}

LargeBlock::~LargeBlock() {
  if (mapped_)
    unmapLarge(data_, size_);
  else
    std::free(data_);
}

}  // namespace dz
