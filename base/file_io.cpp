#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "base/gbk.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dz {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

#ifdef _WIN32
constexpr char kSeparator = '\\';

// Paths inside the system are GBK bytes. Windows is asked by their UTF-16
// form: the narrow calls would read them in the machine's ANSI code page and
// miss every file with a Chinese name on a machine whose code page is not 936.
std::wstring widePath(const std::string& gbk) {
  const std::u16string wide = gbkToUtf16(gbk);
  return std::wstring(wide.begin(), wide.end());
}

// Why the last system call failed. The Windows calls here (FlushFileBuffers,
// MoveFileExW) report through GetLastError, not errno; the text comes in the
// system's language and is turned into GBK like every other text inside.
std::string lastErrorText() {
  const DWORD code = GetLastError();
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring wide(buffer ? buffer : L"", n);
  LocalFree(buffer);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) wide.pop_back();
  if (wide.empty()) return "error " + std::to_string(code);
  std::string gbk;
  utf16ToGbk(std::u16string(wide.begin(), wide.end()), gbk);
  return gbk;
}
#else
constexpr char kSeparator = '/';

std::string lastErrorText() { return std::strerror(errno); }

std::string directoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is an entry in the directory, and syncing the file does not write
// the directory: until the directory itself is synced, a crash can undo the
// rename and bring back the old file after the commit was reported done.
// LevelDB syncs the directory of a new manifest for the same reason. Where
// the directory cannot be opened for reading or the file system cannot sync
// a directory, there is nothing more to do, and the file is in place.
bool syncDirectory(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno == EACCES;
  const bool synced = fsync(fd) == 0 || errno == EINVAL || errno == EBADF;
  const int savedErrno = errno;
  close(fd);
  errno = savedErrno;
  return synced;
}
#endif

bool flushToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

void removeFile(const std::string& path) {
#ifdef _WIN32
  _wremove(widePath(path).c_str());
#else
  std::remove(path.c_str());
#endif
}

}  // namespace

std::FILE* openFile(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
#ifdef _WIN32
  return _wfopen(widePath(path).c_str(), widePath(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

std::string joinPath(const std::string& dir, const std::string& name) {
  std::string path = dir;
  path += kSeparator;
  path += name;
  return path;
}

bool fileExists(const std::string& path) {
  FilePtr f(openFile(path, "rb"));
  return f != nullptr;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
  FilePtr f(openFile(path, "rb"));
  if (!f) return false;
  bytes.clear();
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.append(buffer, n);
  return !std::ferror(f.get());
}

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
  const std::string temp = path + ".tmp~";
  {
    FilePtr f(openFile(temp, "wb"));
    if (!f) {
      error = "cannot create " + temp + ": " + lastErrorText();
      return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size() || !flushToDisk(f.get())) {
      error = "cannot write " + temp + ": " + lastErrorText();
      f.reset();
      removeFile(temp);
      return false;
    }
  }
  if (!replaceFile(temp, path)) {
    error = "cannot replace " + path + ": " + lastErrorText();
    removeFile(temp);
    return false;
  }
#ifndef _WIN32
  // On Windows, MOVEFILE_WRITE_THROUGH has flushed the rename already.
  const std::string dir = directoryOf(path);
  if (!syncDirectory(dir)) {
    error = "cannot flush " + dir + " to disk after replacing " + path + ": " + lastErrorText();
    return false;
  }
#endif
  return true;
}

}  // namespace dz
