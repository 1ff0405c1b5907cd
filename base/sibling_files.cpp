#include "base/sibling_files.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "base/crc32.h"
#include "base/file_io.h"

#ifdef _WIN32
#include <windows.h>

#include "base/gbk.h"
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dz {
namespace {

constexpr size_t kNameBytesKept = 32;
constexpr size_t kRandomLength = 8;
constexpr char kRandomLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr const char kTemporarySuffix[] = ".tmp";
// What earlier versions wrote beside the file, one name for every writer.
constexpr const char kLegacySuffix[] = ".tmp~";

// The first bytes of a name, cut where a character starts: GBK on Windows,
// where paths inside are GBK; UTF-8 elsewhere, the usual form of names there.
std::string namePrefix(const std::string& name) {
  if (name.size() <= kNameBytesKept) return name;
#ifdef _WIN32
  return name.substr(0, gbkPrefixLength(name, kNameBytesKept));
#else
  size_t n = kNameBytesKept;
  while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
  return name.substr(0, n);
#endif
}

uint32_t nameHash(const std::string& name) {
#ifdef _WIN32
  std::wstring wide = widePath(name);
  if (!wide.empty()) CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
  return crc32(std::string_view(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)));
#else
  return crc32(name);
#endif
}

// ".<prefix>.<hash>", the part the lock and the temporaries share.
std::string stemOf(const std::string& target) {
  const std::string name = fileNameOf(target);
  char hash[9];
  std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(nameHash(name)));
  return "." + namePrefix(name) + "." + hash;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// `entry` (a name in the target's directory) is a temporary of the target.
bool isTemporaryName(const std::string& entry, const std::string& stem, const std::string& legacy) {
  if (entry == legacy) return true;
  const size_t length = stem.size() + 1 + kRandomLength + sizeof kTemporarySuffix - 1;
  if (entry.size() != length || entry.compare(0, stem.size(), stem) != 0 || entry[stem.size()] != '.' ||
      !endsWith(entry, kTemporarySuffix))
    return false;
  for (size_t i = stem.size() + 1; i < stem.size() + 1 + kRandomLength; ++i)
    if (!std::char_traits<char>::find(kRandomLetters, sizeof kRandomLetters - 1, entry[i])) return false;
  return true;
}

}  // namespace

std::string lockFileFor(const std::string& target) { return siblingPath(target, stemOf(target) + ".lock"); }

std::string newTemporaryFor(const std::string& target) {
  // Seeded afresh from the system at every call: no state is shared between
  // calls or threads, and two processes never follow one sequence.
  std::random_device device;
  std::seed_seq seed{device(), device(),
                     static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
  std::mt19937 generator(seed);
  std::uniform_int_distribution<size_t> pick(0, sizeof kRandomLetters - 2);
  std::string name = stemOf(target) + ".";
  for (size_t i = 0; i < kRandomLength; ++i) name += kRandomLetters[pick(generator)];
  return siblingPath(target, name + kTemporarySuffix);
}

int removeStaleTemporaries(const std::string& target) {
  const std::string stem = stemOf(target);
  const std::string legacy = fileNameOf(target) + kLegacySuffix;
  int removed = 0;
#ifdef _WIN32
  const std::wstring directory = widePath(siblingPath(target, ""));
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((directory + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string entry;
    const std::wstring wide(found.cFileName);
    if (!utf16ToGbk(std::u16string(wide.begin(), wide.end()), entry)) continue;
    if (isTemporaryName(entry, stem, legacy) && DeleteFileW((directory + wide).c_str())) ++removed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
#else
  std::string directory = siblingPath(target, "");
  if (directory.empty()) directory = ".";
  DIR* dir = opendir(directory.c_str());
  if (!dir) return 0;
  while (const dirent* e = readdir(dir)) {
    const std::string entry = e->d_name;
    if (!isTemporaryName(entry, stem, legacy)) continue;
    const std::string path = siblingPath(target, entry);
    struct stat st;
    // A directory of such a name is not a file anyone wrote.
    if (lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && unlink(path.c_str()) == 0) ++removed;
  }
  closedir(dir);
#endif
  return removed;
}

}  // namespace dz
