// The small check harness of the Windows test programs (run under Wine by
// scripts/windows-tests.sh): each failed check prints what failed; the
// program's exit status is the number of failures (capped), 0 when all hold.
#pragma once

#include <cstdio>
#include <string>

namespace dz::wincheck {

inline int& failures() {
  static int count = 0;
  return count;
}

inline void check(bool ok, const std::string& what) {
  if (!ok) {
    std::printf("FAILED: %s\n", what.c_str());
    ++failures();
  }
}

inline int finish(const char* name) {
  if (failures()) std::printf("%s: %d failures\n", name, failures());
  else std::printf("%s ok\n", name);
  std::fflush(stdout);
  return failures() > 100 ? 100 : failures();
}

}  // namespace dz::wincheck
