// A file replaced whole: the new contents go to a temporary file beside the
// target, which is flushed to the disk and then renamed over the target, so
// that a crash, a kill or a full disk leaves the old file or the new one,
// never a torn one.
//
//   AtomicFile out;
//   if (!out.begin(path, error)) ...     // nothing created yet
//   out.write(bytes, n); ...             // any number of pieces, buffered
//   if (!out.commit(error)) ...          // the old file is still in place
//
// The writes go to the system through one small function that the test
// faults of file_faults.h reach, so that every failure on the way can be
// shown to leave the old file and no temporary behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_faults.h"

namespace dz {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile() { abandon(); }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Starts replacing `path`, or the file a symbolic link there leads to. A
  // target that exists and is not a regular file (a directory, a device, a
  // FIFO) is refused. The temporary file gets a name of its own
  // (sibling_files.h) and is created only if nothing is at that name, so a
  // file or link planted there is never opened.
  bool begin(const std::string& path, std::string& error);

  // Appends bytes. After a failure the later writes do nothing; commit()
  // reports the first failure.
  bool write(const void* data, size_t size);
  bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }

  // Flushes the new file to the disk, gives it the old file's mode (and, on
  // POSIX where permitted, its owner and group), renames it over the target
  // and flushes the directory. On failure the temporary file is removed and
  // the target is as it was, unless only that last flush failed: the new
  // file is then in place but may not outlive a crash.
  bool commit(std::string& error);

  // Removes the temporary file; the target stays as it was.
  void abandon();

  // The file being replaced: the path given, or where its links lead.
  const std::string& target() const { return target_; }

 private:
  bool flushBuffer();
  bool writeOut(const char* data, size_t size);
  // Sends the window of bytes just written on to the disk and drops the one
  // two windows behind from the page cache (Linux; see the definition).
  bool writeBehind();
  bool fail(std::string reason);
  bool closeTemporary();

  std::string target_;
  std::string temporary_;  // empty when there is none to remove
  std::string buffer_;
  uint64_t written_ = 0;   // bytes handed to the system so far
  uint64_t behind_ = 0;    // bytes sent on to the disk by writeBehind
  bool writesBehind_ = false;  // off where the file system cannot
  FileFaults faults_;
  std::string error_;      // the first failure
  bool targetExists_ = false;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
  unsigned mode_ = 0;
  unsigned owner_ = 0;
  unsigned group_ = 0;
#endif
};

}  // namespace dz
