// A lock on a file for as long as it is open for writing, so that two
// writers never both read the old contents and the later commit drops the
// earlier one's work. The lock is a lock file beside the file (see
// sibling_files.h), not the file itself: a save renames a new file over the
// old one, and a lock on the old one would not hold for the new.
//
// A second writer fails at once ("in use"); nothing waits. The system drops
// the lock when its holder releases it, closes, or dies, so a killed run
// never leaves a file locked:
//   POSIX    flock() on the lock file; the holder removes the file before
//            it unlocks it, and a taker checks that the file it locked is
//            still the one at the name (else it was just removed: retry);
//   Windows  the lock file opened without sharing and deleted on close.
#pragma once

#include <string>

namespace dz {

class FileLock {
 public:
  enum class Result {
    Locked,
    Busy,        // another writer holds the lock
    Unlockable,  // the folder is not there or takes no new file: nobody can save there, nothing to guard
    Failed,      // the lock file could not be made or locked; `error` says why
  };

  FileLock() = default;
  ~FileLock() { release(); }
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Locks `target` (a path as resolveWriteTarget gives it) for writing.
  Result acquire(const std::string& target, std::string& error);
  void release();
  bool held() const;

 private:
  std::string path_;  // of the lock file, while held
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace dz
