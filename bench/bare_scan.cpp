// dz_bare_scan: the least a program must do to read each input, the yardstick
// of the whole-process ratios in bench/ratios.sh. Plain C stdio, no project code.
//   lines FILE   every line split at its first comma, strtod on both sides (a .cas)
//   cor FILE     every line split at blanks, strtod on fields 2-4 (a .cor)
//   csv FILE     every line split at commas, atoi on field 2, strtod on fields 3-5
//   words FILE.. every line split at blanks (attribute files)
//   bytes FILE   the bytes read in 64 KiB pieces
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Sums what was read so that nothing can be left out by the optimiser.
double g_sink = 0;

template <typename Line>
bool eachLine(const char* path, Line line) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char* buffer = nullptr;
  size_t capacity = 0;
  ssize_t n;
  while ((n = getline(&buffer, &capacity, f)) >= 0) line(buffer, static_cast<size_t>(n));
  std::free(buffer);
  std::fclose(f);
  return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Calls field(index, start) for each blank-separated field.
template <typename Field>
void splitBlanks(char* s, Field field) {
  int index = 0;
  while (*s) {
    while (*s && isBlank(*s)) ++s;
    if (!*s) break;
    char* start = s;
    while (*s && !isBlank(*s)) ++s;
    if (*s) *s++ = 0;
    field(++index, start);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: dz_bare_scan lines|cor|csv|words|bytes FILE...\n");
    return 2;
  }
  const char* kind = argv[1];
  for (int i = 2; i < argc; ++i) {
    bool ok = true;
    if (!std::strcmp(kind, "lines")) {
      ok = eachLine(argv[i], [](char* s, size_t) {
        char* comma = std::strchr(s, ',');
        if (!comma) return;
        *comma = 0;
        g_sink += std::strtod(s, nullptr) + std::strtod(comma + 1, nullptr);
      });
    } else if (!std::strcmp(kind, "cor")) {
      ok = eachLine(argv[i], [](char* s, size_t) {
        splitBlanks(s, [](int index, char* field) {
          if (index >= 2 && index <= 4) g_sink += std::strtod(field, nullptr);
        });
      });
    } else if (!std::strcmp(kind, "csv")) {
      ok = eachLine(argv[i], [](char* s, size_t) {
        int index = 1;
        for (char* field = s;; ++index) {
          char* comma = std::strchr(field, ',');
          if (comma) *comma = 0;
          if (index == 2) g_sink += std::atoi(field);
          else if (index >= 3 && index <= 5) g_sink += std::strtod(field, nullptr);
          if (!comma) break;
          field = comma + 1;
        }
      });
    } else if (!std::strcmp(kind, "words")) {
      ok = eachLine(argv[i], [](char* s, size_t) {
        splitBlanks(s, [](int, char* field) { g_sink += static_cast<unsigned char>(field[0]); });
      });
    } else if (!std::strcmp(kind, "bytes")) {
      std::FILE* f = std::fopen(argv[i], "rb");
      ok = f != nullptr;
      if (f) {
        static char piece[1 << 16];
        size_t n;
        while ((n = std::fread(piece, 1, sizeof piece, f)) > 0) g_sink += static_cast<unsigned char>(piece[n - 1]);
        std::fclose(f);
      }
    } else {
      std::fprintf(stderr, "dz_bare_scan: unknown kind %s\n", kind);
      return 2;
    }
    if (!ok) {
      std::fprintf(stderr, "dz_bare_scan: cannot read %s\n", argv[i]);
      return 1;
    }
  }
  return g_sink == -1.0 ? 3 : 0;
}
