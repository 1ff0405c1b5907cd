#include "base/file_lock.h"

#include <cerrno>
#include <utility>

#include "base/file_io.h"
#include "base/sibling_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dz {
namespace {

// A holder removes its lock file just before it lets go of it: a taker that
// opened the old file meanwhile finds it gone and takes the new one. A few
// rounds of that in a row mean something else is wrong.
constexpr int kAttempts = 20;

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept { *this = std::move(other); }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    path_ = std::move(other.path_);
#ifdef _WIN32
    handle_ = std::exchange(other.handle_, nullptr);
#else
    fd_ = std::exchange(other.fd_, -1);
#endif
    other.path_.clear();
  }
  return *this;
}

#ifdef _WIN32

bool FileLock::held() const { return handle_ != nullptr; }

FileLock::Result FileLock::acquire(const std::string& target, std::string& error) {
  release();
  const std::string path = lockFileFor(target);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // No sharing: while this handle is open no other opens the file, in this
    // process or another. Deleted when the handle closes, also when the
    // process dies.
    const HANDLE h = CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = h;
      path_ = path;
      return Result::Locked;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) return Result::Busy;
    if (code == ERROR_WRITE_PROTECT || code == ERROR_PATH_NOT_FOUND) return Result::Unlockable;
    if (code != ERROR_ACCESS_DENIED) {
      error = "cannot lock " + target + ": " + windowsErrorText(code);
      return Result::Failed;
    }
    // Access is denied for a moment while a holder's lock file is being
    // deleted, and for good in a folder that takes no new file.
    Sleep(5);
  }
  return Result::Unlockable;
}

void FileLock::release() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  path_.clear();
}

#else

bool FileLock::held() const { return fd_ >= 0; }

FileLock::Result FileLock::acquire(const std::string& target, std::string& error) {
  release();
  const std::string path = lockFileFor(target);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // Readable by all, so that another user who may write the file can take
    // the lock too (a read descriptor is enough for flock).
    const int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
      const int e = errno;
      std::string directory = siblingPath(target, "");
      if (directory.empty()) directory = ".";
      // A folder that is not there or takes no new file takes no saved
      // file either: nobody can write the file, there is nothing to guard.
      if (e == EROFS || e == ENOENT || e == ENOTDIR ||
          ((e == EACCES || e == EPERM) && access(directory.c_str(), W_OK) != 0))
        return Result::Unlockable;
      error = "cannot lock " + target + ": " + path + ": " + errnoText(e);
      return Result::Failed;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int e = errno;
      close(fd);
      if (e == EWOULDBLOCK) return Result::Busy;
      error = "cannot lock " + target + ": " + errnoText(e);
      return Result::Failed;
    }
    struct stat locked, named;
    if (fstat(fd, &locked) == 0 && stat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
        locked.st_ino == named.st_ino) {
      fd_ = fd;
      path_ = path;
      return Result::Locked;
    }
    close(fd);  // removed by its last holder after we opened it: take the new one
  }
  error = "cannot lock " + target + ": " + path + " keeps changing";
  return Result::Failed;
}

void FileLock::release() {
  if (fd_ < 0) return;
  // Removed while still locked: whoever opens the name after this makes a
  // new file, and whoever opened the old one sees that it is gone.
  unlink(path_.c_str());
  close(fd_);
  fd_ = -1;
  path_.clear();
}

#endif

}  // namespace dz
