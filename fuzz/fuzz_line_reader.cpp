// The line reader over arbitrary bytes: the lines it hands out, joined with
// LF, must be the input as text mode sees it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/line_reader.h"
#include "fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = dz::fuzz::writeFile("lines.txt", std::string(reinterpret_cast<const char*>(data), size));
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
