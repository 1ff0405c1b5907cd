#include "base/huge_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace dz {
namespace {

constexpr uintptr_t kHuge = uintptr_t{2} << 20;

// A vector on the allocator keeps every element as it grows from a few
// bytes to many huge pages; its large rooms start on a huge page's boundary.
TEST(HugePageAllocator, AVectorGrowsThroughSmallAndLargeRoomsKeepingItsElements) {
  std::vector<uint64_t, HugePageAllocator<uint64_t>> v;
  for (uint64_t i = 0; i < 1500000; ++i) {
    v.push_back(i * 2654435761u);
#ifdef __linux__
    if (v.capacity() * sizeof(uint64_t) >= kHuge) {
      ASSERT_EQ(reinterpret_cast<uintptr_t>(v.data()) % kHuge, 0u) << "capacity " << v.capacity();
    }
#endif
  }
  for (uint64_t i = 0; i < v.size(); ++i) ASSERT_EQ(v[i], i * 2654435761u);
  v.shrink_to_fit();
  EXPECT_EQ(v[1499999], 1499999 * uint64_t{2654435761u});
}

// Zeroed tables of any size, on a boundary when large, where every byte
// may be written.
TEST(HugePages, ZeroedTablesOfAnySizeMayBeWrittenToTheirLastByte) {
  for (size_t bytes : {size_t{1}, size_t{4096}, size_t{kHuge}, size_t{kHuge * 3 + 5}}) {
    auto* data = static_cast<uint8_t*>(callocHuge(bytes));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0] | data[bytes - 1], 0);
    data[0] = data[bytes - 1] = 7;
#ifdef __linux__
    if (bytes >= kHuge) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % kHuge, 0u);
    }
#endif
    freeHuge(data, bytes);
  }
}

// glibc's heap, which tells its free room from 2.33 on, without a sanitizer's allocator.
#if defined(__linux__) && defined(__GLIBC__)
#if __GLIBC_PREREQ(2, 33) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#if defined(__has_feature)
#if !__has_feature(address_sanitizer) && !__has_feature(thread_sanitizer) && !__has_feature(memory_sanitizer)
#define DZ_GLIBC_HEAP 1
#endif
#else
#define DZ_GLIBC_HEAP 1
#endif
#endif
#endif

#ifdef DZ_GLIBC_HEAP
// The flags of the mapping that holds `p`, as /proc/self/smaps gives them.
std::string mappingFlags(const void* p) {
  std::ifstream smaps("/proc/self/smaps");
  const auto at = reinterpret_cast<uintptr_t>(p);
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    uintptr_t begin = 0, end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> begin >> dash >> end && dash == '-') inside = begin <= at && at < end;
    if (inside && line.rfind("VmFlags:", 0) == 0) return line;
  }
  return "";
}

// Whether the system keeps the advice given on a mapping and shows it: a
// user-mode emulator (qemu running a 32-bit build) drops it, and keeps a
// heap and a data limit of its own.
bool adviceIsKept() {
  const size_t bytes = 2 * kHuge;
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return false;
  auto* aligned = reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(p) + kHuge - 1) / kHuge * kHuge);
  const bool kept =
      madvise(aligned, kHuge, MADV_HUGEPAGE) == 0 && mappingFlags(aligned).find(" hg") != std::string::npos;
  munmap(p, bytes);
  return kept;
}

// Ends the process that checks: 0 when `holds`, else 1 with `what` told.
void check(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "%s\n", what.c_str());
  std::_Exit(1);
}

// The heap's growth asks for huge pages up to its last whole one; a large
// table made after the heap has freed dirty memory is still all zero, a
// mapping of its own.
[[noreturn]] void growAndCheck() {
  const size_t advised = growHeapInHugePages(size_t{64} << 20, size_t{4} << 20);
  check(advised >= (size_t{60} << 20), "advised " + std::to_string(advised));
  const char* nearTheEnd = static_cast<const char*>(sbrk(0)) - (size_t{4} << 20);
  check(mappingFlags(nearTheEnd).find(" hg") != std::string::npos, mappingFlags(nearTheEnd));

  const size_t bytes = size_t{8} << 20;
  void* dirty = std::malloc(bytes);
  std::memset(dirty, 0xAB, bytes);
  std::free(dirty);
  auto* table = static_cast<uint8_t*>(callocHuge(bytes));
  check(table != nullptr, "no table");
  size_t nonzero = 0;
  for (size_t i = 0; i < bytes; ++i) nonzero += table[i] != 0;
  check(nonzero == 0, std::to_string(nonzero) + " bytes not zero");
  freeHuge(table, bytes);
  std::_Exit(0);
}

// The process's data as the system counts it against RLIMIT_DATA.
size_t dataBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmData:", 0) == 0) return std::stoul(line.substr(7)) * 1024;
  return 0;
}

// Under a limit on the process's data, blocks `block` bytes each up to
// `total` bytes in all are made after a growth of `room`, which is `given`
// or not: exits 0 when all of them were.
[[noreturn]] void allocateUnderALimit(size_t headroom, size_t room, bool given, size_t total, size_t block) {
  const rlim_t limit = dataBytes() + headroom;
  const rlimit data{limit, limit};
  check(setrlimit(RLIMIT_DATA, &data) == 0, "no limit set");
  check((growHeapInHugePages(room, size_t{4} << 20) > 0) == given, given ? "room refused" : "room given");
  for (size_t made = 0; made < total; made += block) check(std::malloc(block) != nullptr, "no block");
  std::_Exit(0);
}

// Each in a process of its own, started afresh, whose heap is as a
// program's main finds it: the growth is made by a block longer than all
// the heap has free, which after other tests may be more than it allows.
class HeapInHugePagesDeathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled")) GTEST_SKIP() << "no huge pages here";
    if (!adviceIsKept()) GTEST_SKIP() << "the system here keeps no advice on a mapping";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
};

TEST_F(HeapInHugePagesDeathTest, TheGrowthIsAdvisedAndLargeTablesStayZeroed) {
  EXPECT_EXIT(growAndCheck(), ::testing::ExitedWithCode(0), "");
}

// A heap that cannot grow by the whole room, or not again by as much,
// still grows by what its blocks need, as it would have without the room.
TEST_F(HeapInHugePagesDeathTest, UnderALimitOnDataTheHeapGrowsAsBefore) {
  constexpr size_t kMiB = size_t{1} << 20;
  // The room refused: 24 MiB of blocks under a limit 32 MiB away.
  EXPECT_EXIT(allocateUnderALimit(32 * kMiB, 64 * kMiB, false, 24 * kMiB, kMiB), ::testing::ExitedWithCode(0), "");
  // The room given, then outgrown by 16 MiB under a limit 96 MiB away.
  EXPECT_EXIT(allocateUnderALimit(96 * kMiB, 64 * kMiB, true, 80 * kMiB, kMiB), ::testing::ExitedWithCode(0), "");
}
#else
TEST(HeapInHugePages, ChangesNothingWhereTheHeapIsNotGlibcs) {
  EXPECT_EQ(growHeapInHugePages(size_t{64} << 20, size_t{4} << 20), 0u);
}
#endif

}  // namespace
}  // namespace dz
