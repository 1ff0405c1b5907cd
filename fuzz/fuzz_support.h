// Shared pieces of the fuzz targets that drive a whole conversion: the input
// split into the files a conversion reads, written to a private folder.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/message_service.h"

namespace dz::fuzz {

// The input cut at each "\n====\n" into `count` parts (missing parts empty).
inline std::vector<std::string> splitParts(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> parts(count);
  const std::string all(reinterpret_cast<const char*>(data), size);
  const std::string mark = "\n====\n";
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 < count ? all.find(mark, start) : std::string::npos;
    parts[i] = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end == std::string::npos) break;
    start = end + mark.size();
  }
  return parts;
}

// A folder of this process, made once.
inline const std::string& workDir() {
  static const std::string dir = [] {
    char name[] = "/tmp/dz-fuzz-XXXXXX";
    if (!mkdtemp(name)) std::abort();
    return std::string(name);
  }();
  return dir;
}

inline std::string writeFile(const std::string& name, const std::string& bytes) {
  const std::string path = workDir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

// Messages are dropped; questions are answered alternately Yes and No.
class SilentMessages : public ui::MessageService {
 public:
  int ShowMessage(const std::string&, unsigned type) override {
    if (type != ui::kMbYesNo) return ui::kIdOk;
    yes_ = !yes_;
    return yes_ ? ui::kIdYes : ui::kIdNo;
  }

 private:
  bool yes_ = false;
};

}  // namespace dz::fuzz
