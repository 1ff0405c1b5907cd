// The console on POSIX: UTF-8 bytes out, paths as given.
#include <cstdio>

#include "cli/console.h"

namespace dz::cli {

void writeOut(std::string_view utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stdout); }

void writeErr(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

bool pathFromArgument(const std::string& utf8, std::string& path) {
  path = utf8;
  return true;
}

std::string shownPath(const std::string& path) { return path; }

}  // namespace dz::cli
