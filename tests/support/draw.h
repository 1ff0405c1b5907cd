// Repeatable random numbers for the random tests: a seed draws the same
// cases on every machine and in every build (the standard library's
// distributions are not the same everywhere).
#pragma once

#include <cstdint>

namespace dz::test {

class Draw {
 public:
  explicit Draw(uint32_t seed) : seed_(seed) {}
  // A number below n.
  uint32_t operator()(uint32_t n) {
    seed_ = seed_ * 1103515245u + 12345u;
    return (seed_ >> 8) % n;
  }

 private:
  uint32_t seed_;
};

}  // namespace dz::test
