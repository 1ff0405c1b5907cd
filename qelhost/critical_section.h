// A lock for the two threads of qelhost. (The cross compiler's C++ library
// has no std::mutex: its thread model is Windows' own.)
#pragma once

#include <windows.h>

namespace dz::qelhost {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  class Hold {
   public:
    explicit Hold(CriticalSection& lock) : lock_(lock) { EnterCriticalSection(&lock_.section_); }
    ~Hold() { LeaveCriticalSection(&lock_.section_); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    CriticalSection& lock_;
  };

 private:
  CRITICAL_SECTION section_;
};

}  // namespace dz::qelhost
