#include "base/atomic_file.h"

#include <algorithm>
#include <cerrno>

#include "base/file_io.h"
#include "base/sibling_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dz {
namespace {

// Small pieces are gathered to this size before they go to the system.
constexpr size_t kBufferSize = 1 << 16;
constexpr size_t kWritePiece = 1 << 20;  // the most one system write is given
#ifdef __linux__
// Written bytes are sent on to the disk a window at a time (writeBehind).
constexpr uint64_t kWriteBehindWindow = uint64_t{4} << 20;
#endif
// Names taken already at every try mean something is wrong: a new name
// would not help either.
constexpr int kNameAttempts = 100;

using Kind = FileFaults::Kind;

#ifdef _WIN32
std::string lastError() { return windowsErrorText(GetLastError()); }
#else
std::string lastError() { return errnoText(errno); }

// A rename is an entry in the directory, and syncing the file does not write
// the directory: until the directory itself is synced, a crash can undo the
// rename and bring back the old file after the commit was reported done.
// LevelDB syncs the directory of a new manifest for the same reason. Where
// the directory cannot be opened for reading or the file system cannot sync
// a directory, there is nothing more to do, and the file is in place.
bool syncDirectory(const std::string& dir, const FileFaults& faults) {
  if (faults.is(Kind::DirSync)) {
    errno = EIO;
    return false;
  }
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno == EACCES;
  const bool synced = fsync(fd) == 0 || errno == EINVAL || errno == EBADF;
  const int savedErrno = errno;
  close(fd);
  errno = savedErrno;
  return synced;
}
#endif

}  // namespace

bool AtomicFile::fail(std::string reason) {
  if (error_.empty()) error_ = std::move(reason);
  return false;
}

bool AtomicFile::begin(const std::string& path, std::string& error) {
  abandon();
  error_.clear();
  buffer_.clear();
  written_ = 0;
  behind_ = 0;
#ifdef __linux__
  writesBehind_ = true;
#endif
  faults_ = FileFaults::fromEnvironment();
  if (!resolveWriteTarget(path, target_, error)) return false;

  const PathStatus status = examinePath(target_);
  switch (status.kind) {
    case PathKind::Missing:
      targetExists_ = false;
      break;
    case PathKind::RegularFile:
      targetExists_ = true;
      break;
    case PathKind::Directory:
      error = "cannot replace " + target_ + ": it is a directory";
      return false;
    case PathKind::Other:
      error = "cannot replace " + target_ + ": it is not a regular file";
      return false;
    case PathKind::Unknown:
      error = "cannot replace " + target_ + ": " + status.error;
      return false;
  }

#ifndef _WIN32
  if (targetExists_) {
    struct stat st;
    if (stat(target_.c_str(), &st) != 0) {
      error = "cannot replace " + target_ + ": " + lastError();
      return false;
    }
    mode_ = st.st_mode & 07777;
    owner_ = st.st_uid;
    group_ = st.st_gid;
  }
#endif

  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = newTemporaryFor(target_);
#ifdef _WIN32
    const HANDLE h = CreateFileW(widePath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
      error = "cannot create a temporary file beside " + target_ + ": " + lastError();
      return false;
    }
    handle_ = h;
#else
    // Private until it is complete: the old file's mode is given at commit.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        targetExists_ ? 0600 : 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      error = "cannot create a temporary file beside " + target_ + ": " + lastError();
      return false;
    }
    fd_ = fd;
#endif
    temporary_ = name;
    return true;
  }
  error = "cannot create a temporary file beside " + target_ + ": every name tried is taken";
  return false;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (temporary_.empty() || !error_.empty()) return false;
  const char* bytes = static_cast<const char*>(data);
  // A piece of half the buffer or more goes out as it is when nothing waits
  // before it: a writer with a buffer of its own hands over such pieces.
  if (buffer_.empty() && size >= kBufferSize / 2) return writeOut(bytes, size);
  if (buffer_.size() + size <= kBufferSize) {
    buffer_.append(bytes, size);
    return true;
  }
  if (!flushBuffer()) return false;
  if (size < kBufferSize) {
    buffer_.append(bytes, size);
    return true;
  }
  return writeOut(bytes, size);
}

bool AtomicFile::flushBuffer() {
  if (buffer_.empty()) return true;
  const bool ok = writeOut(buffer_.data(), buffer_.size());
  buffer_.clear();
  return ok;
}

// The one way bytes reach the system, and where the test faults are put in.
// A write may take fewer bytes than asked; the rest is written again, and a
// write that takes nothing at all ends it. Large runs (a point table) go in
// pieces of kWritePiece: one write of tens of megabytes took the kernel 5 to
// 15 times as long as the same bytes a megabyte at a time.
bool AtomicFile::writeOut(const char* data, size_t size) {
  while (size > 0) {
    size_t piece = std::min(size, kWritePiece);
    if (faults_.is(Kind::PartialWrites)) piece = std::min(piece, FileFaults::kPartialWriteSize);
    const bool faultAhead = faults_.is(Kind::ShortWrite) || faults_.is(Kind::NoSpace);
    long long done = 0;
    if (faultAhead && written_ + piece > faults_.at && written_ >= faults_.at) {
      if (faults_.is(Kind::NoSpace)) {
#ifdef _WIN32
        SetLastError(ERROR_DISK_FULL);
#else
        errno = ENOSPC;
#endif
        done = -1;
      }
    } else {
      if (faultAhead && written_ + piece > faults_.at) piece = static_cast<size_t>(faults_.at - written_);
#ifdef _WIN32
      DWORD n = 0;
      done = WriteFile(static_cast<HANDLE>(handle_), data, static_cast<DWORD>(piece), &n, nullptr)
                 ? static_cast<long long>(n)
                 : -1;
#else
      do {
        done = ::write(fd_, data, piece);
      } while (done < 0 && errno == EINTR);
#endif
    }
    if (done < 0) return fail("cannot write " + target_ + ": " + lastError());
    if (done == 0)
      return fail("cannot write " + target_ + ": the system took nothing more after " + std::to_string(written_) +
                  " bytes");
    data += done;
    size -= static_cast<size_t>(done);
    written_ += static_cast<uint64_t>(done);
#ifdef __linux__
    while (writesBehind_ && written_ >= behind_ + kWriteBehindWindow)
      if (!writeBehind()) return false;
#endif
  }
  return true;
}

// A large file written into the page cache whole waits there for the fsync
// at the commit, in as many fresh pages as it has bytes (210 MB for a
// million features), and the disk idles until then. Instead each window of
// written bytes is sent to the disk as soon as it is full, and the window
// two behind it, written out by now, is dropped from the cache: the file
// goes through a few windows of pages used again and again, and the commit's
// fsync has little left to do. (A database's background writer flushes its
// files a range at a time for the same reasons.)
//
// Waiting on a range consumes any write error the disk reported for the
// file, which the fsync would then not report again: such an error fails the
// file here. A file system that cannot do this (EINVAL and the like) is
// simply written as before.
bool AtomicFile::writeBehind() {
#ifdef __linux__
  if (behind_ >= 2 * kWriteBehindWindow) {
    const uint64_t done = behind_ - 2 * kWriteBehindWindow;
    int waited = 0;
    if (faults_.is(Kind::Writeback) && done < faults_.at) {
      errno = EIO;
      waited = -1;
    } else {
      waited = sync_file_range(fd_, static_cast<off_t>(done), static_cast<off_t>(kWriteBehindWindow),
                               SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    }
    if (waited != 0) {
      if (errno == EINVAL || errno == ENOSYS || errno == ESPIPE || errno == EOPNOTSUPP) {
        writesBehind_ = false;
        return true;
      }
      return fail("cannot write " + target_ + ": " + lastError());
    }
    (void)posix_fadvise(fd_, static_cast<off_t>(done), static_cast<off_t>(kWriteBehindWindow), POSIX_FADV_DONTNEED);
  }
  // Only a start: its failures are the wait's to report.
  (void)sync_file_range(fd_, static_cast<off_t>(behind_), static_cast<off_t>(kWriteBehindWindow),
                        SYNC_FILE_RANGE_WRITE);
  behind_ += kWriteBehindWindow;
#endif
  return true;
}

bool AtomicFile::closeTemporary() {
#ifdef _WIN32
  if (!handle_) return true;
  const bool closed = CloseHandle(static_cast<HANDLE>(handle_)) != 0;
  handle_ = nullptr;
#else
  if (fd_ < 0) return true;
  // Some file systems (NFS) report a failed write only here.
  const bool closed = close(fd_) == 0;
  fd_ = -1;
#endif
  return closed;
}

bool AtomicFile::commit(std::string& error) {
  if (temporary_.empty() && error_.empty()) fail("cannot write " + target_ + ": nothing was begun");
  if (error_.empty()) flushBuffer();
  if (error_.empty()) {
#ifdef _WIN32
    if (faults_.is(Kind::Sync)) {
      SetLastError(ERROR_WRITE_FAULT);
      fail("cannot flush " + target_ + " to disk: " + lastError());
    } else if (!FlushFileBuffers(static_cast<HANDLE>(handle_))) {
      fail("cannot flush " + target_ + " to disk: " + lastError());
    }
#else
    if (faults_.is(Kind::Sync)) {
      errno = EIO;
      fail("cannot flush " + target_ + " to disk: " + lastError());
    } else if (fsync(fd_) != 0) {
      fail("cannot flush " + target_ + " to disk: " + lastError());
    } else if (targetExists_) {
      // The owner first: changing it may clear the set-id bits of the mode.
      // Only a privileged user may give a file away; anyone else's save
      // keeps the group where they belong to it, and the mode either way.
      if ((owner_ != geteuid() || group_ != getegid()) && fchown(fd_, owner_, group_) != 0)
        (void)fchown(fd_, static_cast<uid_t>(-1), group_);
      if (fchmod(fd_, mode_) != 0) fail("cannot give " + target_ + " its mode again: " + lastError());
    }
#endif
  }
  if (!closeTemporary() && error_.empty()) fail("cannot write " + target_ + ": " + lastError());
  if (error_.empty()) {
    bool renamed;
#ifdef _WIN32
    if (faults_.is(Kind::Rename)) {
      SetLastError(ERROR_WRITE_FAULT);
      renamed = false;
    } else {
      renamed = MoveFileExW(widePath(temporary_).c_str(), widePath(target_).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
#else
    if (faults_.is(Kind::Rename)) {
      errno = EIO;
      renamed = false;
    } else {
      renamed = std::rename(temporary_.c_str(), target_.c_str()) == 0;
    }
#endif
    if (!renamed) {
      fail("cannot replace " + target_ + ": " + lastError());
    } else {
      temporary_.clear();
    }
  }
  if (!error_.empty()) {
    abandon();
    error = error_;
    return false;
  }
#ifndef _WIN32
  // On Windows, MOVEFILE_WRITE_THROUGH has flushed the rename already.
  std::string dir = siblingPath(target_, "");
  if (dir.empty()) dir = ".";
  if (!syncDirectory(dir, faults_)) {
    error = "cannot flush " + dir + " to disk after replacing " + target_ + ": " + lastError();
    return false;
  }
#endif
  return true;
}

void AtomicFile::abandon() {
  closeTemporary();
  if (!temporary_.empty()) {
#ifdef _WIN32
    DeleteFileW(widePath(temporary_).c_str());
#else
    unlink(temporary_.c_str());
#endif
    temporary_.clear();
  }
  buffer_.clear();
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  AtomicFile file;
  if (!file.begin(path, error)) return false;
  file.write(bytes);  // a failure here is told by commit
  return file.commit(error);
}

}  // namespace dz
