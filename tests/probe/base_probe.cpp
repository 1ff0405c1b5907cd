// Prints, for every line of a file, what the base helpers make of it: the
// classic scans of the file formats, atof/atoi, six-decimal formatting, GBK
// conversion and search. Run on Linux and on Windows, the two outputs must be
// identical byte for byte.
// Usage: base_probe FILE
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/classic_format.h"
#include "base/classic_scan.h"
#include "base/gbk.h"
#include "base/json.h"
#include "base/line_reader.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using T = dz::ScanTarget;

std::string bits(double v) {
  uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%016" PRIx64, u);
  return buffer;
}

std::string bits(float v) {
  uint32_t u;
  std::memcpy(&u, &v, sizeof u);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08" PRIx32, u);
  return buffer;
}

std::string text(const std::string& s) { return dz::hexBytes(s.data(), s.size()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: base_probe FILE\n");
    return 2;
  }
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // LF as on Linux, so the outputs compare byte for byte
#endif
  dz::LineReader reader;
  if (!reader.open(argv[1])) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  std::string line;
  while (reader.readLine(line)) {
    std::string out = "line " + std::to_string(reader.lineNumber()) + " " + text(line) + "\n";
    std::string s1, s2;
    char name[12] = {};
    int32_t i1 = 0, i2 = 0, i3 = 0;
    double d1 = 0, d2 = 0, d3 = 0;
    float f1 = 0;
    int n = dz::scanFormat(line, "%s %d", {T::text(s1), T::integer(i1)});
    out += " sd " + std::to_string(n) + " " + text(s1) + " " + std::to_string(i1) + "\n";
    n = dz::scanFormat(line, "%lf,%lf", {T::real(d1), T::real(d2)});
    out += " pair " + std::to_string(n) + " " + bits(d1) + " " + bits(d2) + "\n";
    n = dz::scanFormat(line, "%ld %d %d %s", {T::integer(i1), T::integer(i2), T::integer(i3), T::text(s2, 199)});
    out += " feature " + std::to_string(n) + " " + std::to_string(i1) + " " + std::to_string(i2) + " " +
           std::to_string(i3) + " " + text(s2) + "\n";
    n = dz::scanFormat(line, "%s %lf %lf %lf %d %d",
                       {T::text(name, sizeof name), T::real(d1), T::real(d2), T::real(d3), T::integer(i1),
                        T::integer(i2)});
    out += " point " + std::to_string(n) + " " + text(name) + " " + bits(d1) + " " + bits(d2) + " " + bits(d3) +
           " " + std::to_string(i1) + " " + std::to_string(i2) + "\n";
    n = dz::scanFormat(line, "%s %f", {T::text(s1, 9), T::real(f1)});
    out += " category " + std::to_string(n) + " " + text(s1) + " " + bits(f1) + "\n";
    const double a = dz::classicAtof(line);
    out += " atof " + bits(a) + " " + dz::formatFixed6(a) + " atoi " + std::to_string(dz::classicAtoi(line)) + "\n";
    const size_t found = dz::findGbkText(line, "砼");
    out += " utf8 " + text(dz::gbkToUtf8(line)) + " find " +
           (found == std::string::npos ? std::string("none") : std::to_string(found)) + "\n";
    std::fputs(out.c_str(), stdout);
  }
  return 0;
}
