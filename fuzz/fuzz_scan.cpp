// Every format the readers use, over arbitrary lines: no overrun, no crash,
// bounded texts stay bounded, and a line scanned field by field reads as
// its format reads it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/classic_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  using T = dz::ScanTarget;
  char name[12] = {};
  char a[40] = {}, b[80] = {}, c[20] = {};
  std::string s1, s2;
  int32_t i1 = 0, i2 = 0, i3 = 0;
  double d1 = 0, d2 = 0, d3 = 0;
  float f1 = 0;
  dz::scanFormat(line, "%s %d", {T::text(s1), T::integer(i1)});
  dz::scanFormat(line, "%lf,%lf", {T::real(d1), T::real(d2)});
  dz::scanFormat(line, "%ld %d %d %s", {T::integer(i1), T::integer(i2), T::integer(i3), T::text(s2, 199)});
  dz::scanFormat(line, "%s %lf %lf %lf %d %d",
                 {T::text(name, sizeof name), T::real(d1), T::real(d2), T::real(d3), T::integer(i1), T::integer(i2)});
  dz::scanFormat(line, "%s %s %s %s %s %s %lf %lf %s %d %s",
                 {T::text(a, sizeof a), T::text(b, sizeof b), T::text(c, sizeof c), T::text(c, sizeof c),
                  T::text(a, sizeof a), T::text(c, 15), T::real(d1), T::real(d2), T::text(c, sizeof c),
                  T::integer(i1), T::text(c, sizeof c)});
  dz::scanFormat(line, "%s %f", {T::text(c, 10), T::real(f1)});
  // Fields taken one call at a time give what the format gives.
  {
    char byFormat[2][12] = {}, byCursor[2][12] = {};
    double realByFormat = 0, realByCursor = 0;
    int32_t intByFormat = 0, intByCursor = 0;
    const int expected = dz::scanFormat(line, "%s %lf %d %s", {T::text(byFormat[0], 12), T::real(realByFormat),
                                                               T::integer(intByFormat), T::text(byFormat[1], 12)});
    dz::ScanCursor cursor(line);
    static_cast<void>(cursor.text(byCursor[0]) && cursor.real(realByCursor) && cursor.integer(intByCursor) &&
                      cursor.text(byCursor[1]));
    if (cursor.result() != expected || std::memcmp(byFormat, byCursor, sizeof byFormat) != 0 ||
        std::memcmp(&realByFormat, &realByCursor, sizeof realByCursor) != 0 || intByFormat != intByCursor)
      std::abort();
  }
  if (std::strlen(name) > 11 || std::strlen(a) > 39 || std::strlen(b) > 79 || std::strlen(c) > 19 || s2.size() > 199)
    std::abort();
  dz::classicAtof(line);
  dz::classicAtoi(line);
  return 0;
}
