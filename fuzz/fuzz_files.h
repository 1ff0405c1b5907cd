// The files of a fuzz target: a private folder of the process, in memory
// where the system has a file system there, as the input files are written
// anew for every input.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace dz::fuzz {

// A folder of this process, made once: in memory where the system has a
// file system there, as the input files are written anew for every input.
// It goes when the process ends.
inline const std::string& workDir() {
  struct Folder {
    std::string path;
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder dir{[] {
    char shm[] = "/dev/shm/dz-fuzz-XXXXXX";
    if (mkdtemp(shm)) return std::string(shm);
    char tmp[] = "/tmp/dz-fuzz-XXXXXX";
    if (!mkdtemp(tmp)) std::abort();
    return std::string(tmp);
  }()};
  return dir.path;
}

inline std::string writeFile(const std::string& name, const std::string& bytes) {
  const std::string path = workDir() + "/" + name;
  // Outside memory a new file each time: rewriting one in place makes some
  // file systems flush it to disk on close.
  if (workDir().rfind("/dev/shm/", 0) != 0) std::remove(path.c_str());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

}  // namespace dz::fuzz
