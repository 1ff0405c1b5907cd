#include "base/thread_pointer.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace dz {

#ifdef _WIN32

ThreadPointer::ThreadPointer() : key_(TlsAlloc()) {
  if (key_ == TLS_OUT_OF_INDEXES) throw std::runtime_error("no thread-local storage slot is left");
}
ThreadPointer::~ThreadPointer() { TlsFree(key_); }
void* ThreadPointer::get() const { return TlsGetValue(key_); }
void ThreadPointer::set(void* value) { TlsSetValue(key_, value); }

#else

static_assert(sizeof(pthread_key_t) <= sizeof(unsigned long), "a pthread key fits the slot");

ThreadPointer::ThreadPointer() {
  pthread_key_t key;
  if (pthread_key_create(&key, nullptr) != 0) throw std::runtime_error("no thread-local storage key is left");
  key_ = static_cast<unsigned long>(key);
}
ThreadPointer::~ThreadPointer() { pthread_key_delete(static_cast<pthread_key_t>(key_)); }
void* ThreadPointer::get() const { return pthread_getspecific(static_cast<pthread_key_t>(key_)); }
void ThreadPointer::set(void* value) { pthread_setspecific(static_cast<pthread_key_t>(key_), value); }

#endif

}  // namespace dz
