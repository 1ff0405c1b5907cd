// Shared pieces of the fuzz targets that drive a whole conversion: the input
// split into the files a conversion reads (fuzz_files.h), and an engine that
// keeps its feature files in memory, so that an input costs no commit to
// disk, with a check of what it committed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_files.h"
#include "standin/engine.h"
#include "standin/qel_format.h"
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

// The stand-in engine with its feature files in memory.
class MemoryEngine : public FeatureFileEngine {
 public:
  MemoryEngine() : FeatureFileEngine(workDir()) { keepFilesInMemory(); }

  // What a conversion committed to `path` must load again and encode to the
  // same bytes; a fault there ends the run like a sanitizer report.
  void checkCommitted(const std::string& path) const {
    const std::string* image = memoryImage(path);
    if (!image) return;
    FeatureStore store;
    std::string reason;
    if (!decodeQel(*image, store, reason)) {
      std::fprintf(stderr, "committed file does not load: %s\n", reason.c_str());
      std::abort();
    }
    if (encodeQel(store) != *image) {
      std::fprintf(stderr, "committed file does not encode to the same bytes\n");
      std::abort();
    }
  }
};

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
