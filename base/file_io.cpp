#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "base/file_faults.h"
#include "base/huge_pages.h"

#ifdef _WIN32
#include <sys/stat.h>
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
bool isSeparator(char c) { return c == '\\' || c == '/'; }
#else
constexpr char kSeparator = '/';
// A chain of symbolic links longer than this is a loop, as the system's
// own limit (ELOOP) takes it.
constexpr int kMaxLinks = 40;
#endif

// Where the last component of `path` starts.
size_t nameStart(const std::string& path) {
#ifdef _WIN32
  // Paths inside are GBK, whose trail bytes include 0x5C ('\\'): a
  // separator is only found where a character starts. "C:name" is a name
  // on drive C.
  size_t start = 0;
  for (size_t pos = 0; pos < path.size();) {
    const size_t len = gbkCharLength(path, pos);
    if (len == 1 && (isSeparator(path[pos]) || path[pos] == ':')) start = pos + 1;
    pos += len;
  }
  return start;
#else
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
#endif
}

#ifdef _WIN32
// Not found, as opposed to found but not usable.
bool isNotFound(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }
#endif

}  // namespace

std::string errnoText(int error) { return std::strerror(error); }

#ifdef _WIN32
std::wstring widePath(const std::string& gbk) {
  // Paths inside the system are GBK bytes. Windows is asked by their UTF-16
  // form: the narrow calls would read them in the machine's ANSI code page and
  // miss every file with a Chinese name on a machine whose code page is not 936.
  const std::u16string wide = gbkToUtf16(gbk);
  return std::wstring(wide.begin(), wide.end());
}

std::string windowsErrorText(unsigned long code) {
  // The text comes in the system's language and is turned into GBK like
  // every other text inside.
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
#endif

std::FILE* openFile(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
#ifdef _WIN32
  // The runtime refuses a directory already (EACCES).
  return _wfopen(widePath(path).c_str(), widePath(mode).c_str());
#else
  std::FILE* f = std::fopen(path.c_str(), mode);
  struct stat st;
  if (f && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    errno = EISDIR;
    return nullptr;
  }
  return f;
#endif
}

std::string joinPath(const std::string& dir, const std::string& name) {
  std::string path = dir;
  path += kSeparator;
  path += name;
  return path;
}

std::string siblingPath(const std::string& path, const std::string& name) {
  return path.substr(0, nameStart(path)) + name;
}

std::string fileNameOf(const std::string& path) { return path.substr(nameStart(path)); }

PathStatus examinePath(const std::string& path) {
  PathStatus status;
  if (path.empty()) {
    status.kind = PathKind::Missing;
    return status;
  }
#ifdef _WIN32
  // Asking for no access at all opens files that others hold without
  // sharing, and devices (NUL, CON) without touching them.
  const HANDLE h = CreateFileW(widePath(path).c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (isNotFound(code)) {
      status.kind = PathKind::Missing;
      return status;
    }
    // Found, but not openable even for its attributes: ask for those alone.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data)) {
      status.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory : PathKind::RegularFile;
      return status;
    }
    status.error = windowsErrorText(code);
    return status;
  }
  const DWORD type = GetFileType(h);
  BY_HANDLE_FILE_INFORMATION info;
  if (type != FILE_TYPE_DISK) {
    status.kind = PathKind::Other;
  } else if (!GetFileInformationByHandle(h, &info)) {
    status.error = windowsErrorText(GetLastError());
  } else {
    status.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory : PathKind::RegularFile;
  }
  CloseHandle(h);
  return status;
#else
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) {
      status.kind = PathKind::Missing;
    } else {
      status.error = errnoText(errno);
    }
    return status;
  }
  status.kind = S_ISREG(st.st_mode) ? PathKind::RegularFile : S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::Other;
  return status;
#endif
}

uint64_t fileSize(const std::string& path) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
#else
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
#endif
}

bool fileExists(const std::string& path) { return examinePath(path).kind != PathKind::Missing; }

FileReader::FileReader() = default;

FileReader::~FileReader() {
  if (file_) std::fclose(file_);
}

bool FileReader::open(const std::string& path) {
  if (file_) std::fclose(file_);
  size_ = offset_ = 0;
  faultAt_ = UINT64_MAX;
  error_.clear();
  file_ = openFile(path, "rb");
  if (!file_) {
    error_ = errnoText(errno);
    return false;
  }
  const FileFaults faults = FileFaults::fromEnvironment();
  if (faults.is(FileFaults::Kind::Read)) faultAt_ = faults.at;
#ifdef _WIN32
  struct _stati64 st {};
  if (_fstati64(_fileno(file_), &st) == 0 && st.st_size > 0) size_ = static_cast<uint64_t>(st.st_size);
#else
  struct stat st {};
  if (fstat(fileno(file_), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) size_ = static_cast<uint64_t>(st.st_size);
#endif
  return true;
}

int64_t FileReader::read(void* data, size_t size) {
  const size_t n = std::fread(data, 1, size, file_);
  if (offset_ + n > faultAt_) {
    error_ = errnoText(EIO);
    return -1;
  }
  offset_ += n;
  if (n < size && std::ferror(file_)) {
    error_ = errnoText(errno);
    return -1;
  }
  return static_cast<int64_t>(n);
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string* error) {
  FileReader file;
  bytes.clear();
  if (!file.open(path)) {
    if (error) *error = file.error();
    return false;
  }
  // Room for the whole file at once: a file of hundreds of megabytes is
  // neither copied as the string grows nor held twice while it does. The
  // size is only a hint; the loop reads to the end whatever it is.
  if (file.size() > 0 && file.size() < SIZE_MAX) {
    bytes.reserve(static_cast<size_t>(file.size()));
    adviseHugePages(bytes.data(), bytes.capacity());
  }
  char buffer[1 << 16];
  int64_t n;
  while ((n = file.read(buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<size_t>(n));
  if (n < 0) {
    if (error) *error = file.error();
    return false;
  }
  return true;
}

bool resolveWriteTarget(const std::string& path, std::string& target, std::string& error) {
  target = path;
#ifdef _WIN32
  (void)error;
  // The system names the file a path leads to, through links (and, under
  // Wine, through the links of the Unix file system). A path that names it
  // already is kept as given, so that messages name it as the user did.
  const std::wstring given = widePath(path);
  const HANDLE h = CreateFileW(given.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true;  // nothing there yet, or nothing to follow
  std::wstring final(32768, L'\0');
  const DWORD n = GetFinalPathNameByHandleW(h, &final[0], static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
  CloseHandle(h);
  if (n == 0 || n >= final.size()) return true;
  final.resize(n);
  if (final.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
    final = L"\\" + final.substr(7);
  } else if (final.compare(0, 4, L"\\\\?\\") == 0) {
    final = final.substr(4);
  }
  std::wstring full(32768, L'\0');
  const DWORD m = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  if (m == 0 || m >= full.size()) return true;
  full.resize(m);
  if (CompareStringOrdinal(final.c_str(), -1, full.c_str(), -1, TRUE) == CSTR_EQUAL) return true;
  std::string gbk;
  if (utf16ToGbk(std::u16string(final.begin(), final.end()), gbk)) target = gbk;
  return true;
#else
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string to(static_cast<size_t>(st.st_size > 0 ? st.st_size : 256), '\0');
    for (;;) {
      const ssize_t n = readlink(target.c_str(), &to[0], to.size());
      if (n < 0) {
        error = "cannot follow the link " + target + ": " + errnoText(errno);
        return false;
      }
      if (static_cast<size_t>(n) < to.size()) {
        to.resize(static_cast<size_t>(n));
        break;
      }
      to.resize(to.size() * 2);
    }
    target = !to.empty() && to[0] == '/' ? to : siblingPath(target, to);
  }
  error = "cannot follow the link " + path + ": " + errnoText(ELOOP);
  return false;
#endif
}

}  // namespace dz
