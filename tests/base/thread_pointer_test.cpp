#include <gtest/gtest.h>

#include <thread>

#include "base/thread_pointer.h"

namespace dz {
namespace {

TEST(ThreadPointer, EachThreadSeesOnlyWhatItSet) {
  static ThreadPointer first, second;
  int a = 1, b = 2, c = 3;
  first.set(&a);
  second.set(&b);
  void* seenByOther = &c;
  void* setByOther = nullptr;
  std::thread other([&] {
    seenByOther = first.get();
    first.set(&c);
    setByOther = first.get();
  });
  other.join();
  EXPECT_EQ(seenByOther, nullptr);
  EXPECT_EQ(setByOther, &c);
  EXPECT_EQ(first.get(), &a);
  EXPECT_EQ(second.get(), &b);
  first.set(nullptr);
  EXPECT_EQ(first.get(), nullptr);
  EXPECT_EQ(second.get(), &b);
}

}  // namespace
}  // namespace dz
