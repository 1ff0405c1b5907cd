// A pointer kept per thread, in a slot of the operating system's own
// thread-local storage (TlsAlloc on Windows, a pthread key elsewhere).
//
// Not C++ thread_local: the Windows cross compiler emulates it with storage
// that a DLL's runtime frees for the unloading thread before the DLL's
// DllMain runs for the detach — and the library switches its module state
// right there, so a thread_local would be written after it was freed.
// Make each one a static object; it must outlive every use.
#pragma once

namespace dz {

class ThreadPointer {
 public:
  ThreadPointer();
  ~ThreadPointer();
  ThreadPointer(const ThreadPointer&) = delete;
  ThreadPointer& operator=(const ThreadPointer&) = delete;

  // This thread's pointer; null until the thread sets one.
  void* get() const;
  void set(void* value);

 private:
  unsigned long key_;
};

}  // namespace dz
