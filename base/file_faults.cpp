#include "base/file_faults.h"

#include <cstdlib>
#include <cstring>

namespace dz {

FileFaults FileFaults::fromEnvironment() { return parse(std::getenv(kVariable)); }

FileFaults FileFaults::parse(const char* text) {
  FileFaults faults;
  if (!text || !*text) return faults;
  static const struct {
    const char* name;
    Kind kind;
    bool atByte;
  } kNames[] = {
      {"short-write", Kind::ShortWrite, true}, {"no-space", Kind::NoSpace, true},
      {"partial-writes", Kind::PartialWrites, false}, {"sync", Kind::Sync, false},
      {"rename", Kind::Rename, false}, {"dir-sync", Kind::DirSync, false},
      {"read", Kind::Read, true}, {"writeback", Kind::Writeback, true},
  };
  const char* at = std::strchr(text, '@');
  const size_t nameLength = at ? static_cast<size_t>(at - text) : std::strlen(text);
  for (const auto& n : kNames) {
    if (std::strlen(n.name) != nameLength || std::strncmp(text, n.name, nameLength) != 0) continue;
    if (n.atByte != (at != nullptr)) return faults;
    if (at) {
      char* end = nullptr;
      const unsigned long long k = std::strtoull(at + 1, &end, 10);
      if (end == at + 1 || *end != '\0') return faults;
      faults.at = k;
    }
    faults.kind = n.kind;
    return faults;
  }
  return faults;
}

}  // namespace dz
