// Test support: a fault of the file layer (base/file_faults.h) injected for
// the life of the object, into this process and the children it starts.
#pragma once

#include <cstdlib>
#include <string>

#include "base/file_faults.h"

namespace dz::test {

class InjectedFileFault {
 public:
  explicit InjectedFileFault(const std::string& fault) { setenv(FileFaults::kVariable, fault.c_str(), 1); }
  ~InjectedFileFault() { unsetenv(FileFaults::kVariable); }
  InjectedFileFault(const InjectedFileFault&) = delete;
  InjectedFileFault& operator=(const InjectedFileFault&) = delete;
};

}  // namespace dz::test
