// dz_generate: writes the benchmarks' inputs (bench/inputs.h).
//   dz_generate cass N DIR | epsw N DIR | points N FILE | attach N DIR
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/inputs.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: dz_generate cass|epsw|points|attach N PATH\n");
    return 2;
  }
  const std::string kind = argv[1];
  const int n = std::atoi(argv[2]);
  const std::string path = argv[3];
  try {
    if (kind == "cass") dz::bench::writeCassInputs(path, n);
    else if (kind == "epsw") dz::bench::writeEpswInputs(path, n, n / 10);
    else if (kind == "points") dz::bench::writePointFile(path, n);
    else if (kind == "attach") dz::bench::writeAttachInputs(path, n);
    else {
      std::fprintf(stderr, "dz_generate: unknown kind %s\n", kind.c_str());
      return 2;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dz_generate: %s\n", e.what());
    return 1;
  }
  return 0;
}
