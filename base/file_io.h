// The one place where files are opened by path. Paths are the platform's own
// narrow form and are never transcoded as text (on Windows they are GBK and
// reach the system as UTF-16).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace dz {

// Opens a file as fopen does. A directory is never a file: opening one fails
// with EISDIR, also for reading, where some systems would hand out a stream
// that reads as empty.
std::FILE* openFile(const std::string& path, const char* mode);

// Joins a directory and a file name with the platform's separator, as the
// host directory and a code table name are joined.
std::string joinPath(const std::string& dir, const std::string& name);

// What is at a path, found without opening it: a FIFO is not waited on, and a
// file that cannot be read is still found.
enum class PathKind {
  Missing,      // nothing: the path does not exist
  RegularFile,
  Directory,
  Other,        // a device, a FIFO, a socket
  Unknown,      // the path could not be examined (PathStatus::error says why)
};
struct PathStatus {
  PathKind kind = PathKind::Unknown;
  std::string error;
};
PathStatus examinePath(const std::string& path);

// The size of the file at `path` in bytes; 0 when there is none or it cannot
// be told (a hint for sizing ahead, never a reason to refuse).
uint64_t fileSize(const std::string& path);

// Something is at the path, or the path could not be examined: only a path
// that plainly does not exist is free to be written as new.
bool fileExists(const std::string& path);

// A file read from its start to its end in pieces, with the read fault of
// the test fault layer (file_faults.h).
class FileReader {
 public:
  FileReader();
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // False when the file cannot be opened; error() says why.
  bool open(const std::string& path);
  // The file's size when it was opened (0 when it could not be told).
  uint64_t size() const { return size_; }
  // Up to `size` bytes into `data`: the count read, 0 at the end, -1 when
  // the file could not be read (error() says why).
  int64_t read(void* data, size_t size);
  const std::string& error() const { return error_; }

 private:
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  uint64_t offset_ = 0;
  uint64_t faultAt_ = UINT64_MAX;
  std::string error_;
};

// Reads a whole file; false when it cannot be opened or read, with the
// system's reason in `error` when given.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

// The whole of `bytes` as the new contents of `path`, so that a crash leaves
// either the old file or the new one (AtomicFile in atomic_file.h, which
// also writes a file piece by piece). On failure `error` says why, naming
// the file; no temporary file is left.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// The path that writing to `path` must replace: `path` itself, or the file a
// symbolic link there leads to (through every link of a chain), so that a
// save replaces the linked file instead of the link. False with a reason
// when a chain does not end.
bool resolveWriteTarget(const std::string& path, std::string& target, std::string& error);

// The path of `name` in the directory that holds `path`.
std::string siblingPath(const std::string& path, const std::string& name);
// The last component of `path`.
std::string fileNameOf(const std::string& path);

// The system's text for an error number (errno) and, on Windows, for an
// error code of GetLastError; GBK like every other text inside.
std::string errnoText(int error);
#ifdef _WIN32
std::string windowsErrorText(unsigned long code);
std::wstring widePath(const std::string& gbk);
#endif

}  // namespace dz
