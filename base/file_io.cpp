#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "base/gbk.h"
#else
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
#else
constexpr char kSeparator = '/';
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
      error = "cannot create " + temp + ": " + std::strerror(errno);
      return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size() || !flushToDisk(f.get())) {
      error = "cannot write " + temp + ": " + std::strerror(errno);
      f.reset();
      removeFile(temp);
      return false;
    }
  }
  if (!replaceFile(temp, path)) {
    error = "cannot replace " + path + ": " + std::strerror(errno);
    removeFile(temp);
    return false;
  }
  return true;
}

}  // namespace dz
