#include "cli/console.h"

#include <cstdarg>
#include <cstdio>

namespace dz::cli {

void printOut(const char* format, ...) {
  // Measured in a loop rather than trusted: some C libraries answer -1, not
  // the length, when the buffer is too small.
  std::string text(256, '\0');
  for (;;) {
    std::va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(&text[0], text.size(), format, args);
    va_end(args);
    if (n >= 0 && static_cast<size_t>(n) < text.size()) {
      text.resize(n);
      break;
    }
    text.resize(n >= 0 ? n + 1 : text.size() * 2);
  }
  writeOut(text);
}

}  // namespace dz::cli
