// The input reader over arbitrary bytes, read as GBK and as UTF-8: read as
// GBK it hands out the line reader's lines; read as UTF-8 every line is
// handed out or refused, never both, its number kept, and all the bytes of
// the file are counted.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/line_reader.h"
#include "base/text_input.h"
#include "fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = dz::fuzz::writeFile("input.txt", std::string(reinterpret_cast<const char*>(data), size));
  std::vector<std::string> plain;
  {
    dz::LineReader reader;
    if (!reader.open(path)) return 0;
    for (std::string line; reader.readLine(line);) plain.push_back(line);
  }
  std::string line;
  {
    dz::TextInputRun run(dz::TextEncoding::Gbk);
    dz::InputLineReader reader;
    if (!reader.open(path)) std::abort();
    size_t i = 0;
    while (reader.readLine(line))
      if (i >= plain.size() || line != plain[i++]) std::abort();
    if (i != plain.size() || run.bytesRead() < size) std::abort();
  }
  {
    dz::TextInputRun run(dz::TextEncoding::Utf8);
    dz::InputLineReader reader;
    if (!reader.open(path)) std::abort();
    long handedOut = 0;
    long last = 0;
    while (reader.readLine(line)) {
      if (reader.lineNumber() <= last) std::abort();
      last = reader.lineNumber();
      ++handedOut;
    }
    const dz::InputFileReport& report = run.files().at(0);
    if (handedOut + report.refused.count != static_cast<long>(plain.size())) std::abort();
    if (report.lines != static_cast<long>(plain.size())) std::abort();
  }
  return 0;
}
