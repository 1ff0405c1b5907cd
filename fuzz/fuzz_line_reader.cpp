// The line reader over arbitrary bytes: the lines it hands out, joined with
// LF, must be the input as text mode sees it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/line_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    char name[] = "/tmp/dz-fuzz-lines-XXXXXX";
    std::FILE* f = fdopen(mkstemp(name), "wb");
    std::fclose(f);
    return std::string(name);
  }();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  dz::LineReader reader;
  if (!reader.open(path)) return 0;
  std::string line;
  size_t total = 0;
  while (reader.readLine(line)) {
    if (line.find('\0') != std::string::npos || line.find('\n') != std::string::npos) std::abort();
    total += line.size();
  }
  if (total > size) std::abort();
  return 0;
}
