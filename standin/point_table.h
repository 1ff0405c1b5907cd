// The points of a feature file in memory, in the order they were added: a
// vector whose new elements are left as they are instead of zeroed, so that
// a table about to be filled from a file (a million points of 53 bytes) is
// written once, by the read, and not by a fill before it; a large table in
// huge pages from end to end.
#pragma once

#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "base/huge_pages.h"
#include "host/records.h"

namespace dz {

template <typename T>
struct DefaultInitAllocator : HugePageAllocator<T> {
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <typename U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}  // NOLINT: converting, as std::allocator's

  // Made without a value: a record stays as the memory holds it.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using PointTable = std::vector<PointRecord, DefaultInitAllocator<PointRecord>>;

}  // namespace dz
