// dz_load: opens a feature file with the stand-in engine (read and decode),
// or with --bytes only reads its bytes: the two sides of the load ratio.
//   dz_load [--bytes] FILE.qel
#include <cstdio>
#include <cstring>
#include <string>

#include "standin/engine.h"

int main(int argc, char** argv) {
  const bool bytesOnly = argc == 3 && std::strcmp(argv[1], "--bytes") == 0;
  if (argc != 2 && !bytesOnly) {
    std::fprintf(stderr, "usage: dz_load [--bytes] FILE.qel\n");
    return 2;
  }
  const std::string path = argv[argc - 1];
  if (bytesOnly) {
    // The least a reader must do: one buffer of the file's size, filled.
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f || std::fseek(f, 0, SEEK_END) != 0) return 1;
    std::string bytes(static_cast<size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    const bool read = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    return read ? 0 : 1;
  }
  dz::FeatureFileEngine engine(".");
  if (engine.OpenFeatureFile(path.c_str()) <= 0) {
    std::fprintf(stderr, "dz_load: %s\n", engine.lastOpenError().c_str());
    return 1;
  }
  return 0;
}
