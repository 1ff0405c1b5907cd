// Writes generated sessions (session_generator.h) for the Windows tests:
//   gen_sessions SEED COUNT OUT_DIR REPOSITORY
// makes sessions 0 .. COUNT-1 of SEED, each in a fresh tree of the
// repository's samples/ and tests/win32/sessions/, checks that its script
// plays again to the same log and exit status, and writes it as
// OUT_DIR/gen-SEED-INDEX.script. Exit 1 when a session does not play again
// alike.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tests/win32/session_generator.h"

namespace fs = std::filesystem;

namespace {

// A fresh tree under `parent` as the Windows tests play in; the current
// directory while it lives.
class Tree {
 public:
  Tree(const fs::path& parent, const fs::path& repository) : path_(parent / "tree") {
    fs::remove_all(path_);
    fs::create_directories(path_ / "tests" / "win32");
    fs::copy(repository / "samples", path_ / "samples", fs::copy_options::recursive);
    fs::copy(repository / "tests" / "win32" / "sessions", path_ / "tests" / "win32" / "sessions",
             fs::copy_options::recursive);
    previous_ = fs::current_path();
    fs::current_path(path_);
  }
  ~Tree() {
    fs::current_path(previous_);
    fs::remove_all(path_);
  }

 private:
  fs::path path_;
  fs::path previous_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: gen_sessions SEED COUNT OUT_DIR REPOSITORY\n");
    return 2;
  }
  const uint64_t seed = std::strtoull(argv[1], nullptr, 10);
  const int count = std::atoi(argv[2]);
  const fs::path out = fs::absolute(argv[3]);
  const fs::path repository = fs::absolute(argv[4]);
  fs::create_directories(out);
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    const std::string name = "gen-" + std::to_string(seed) + "-" + std::to_string(i) + ".script";
    try {
      dz::test::GeneratedSession made;
      {
        Tree tree(out, repository);
        made = dz::test::GenerateSession(seed, i);
      }
      dz::test::GeneratedSession again;
      {
        Tree tree(out, repository);
        again = dz::test::PlayScript(made.script);
      }
      std::ofstream(out / name, std::ios::binary) << made.script;
      if (again.log != made.log || again.exitCode != made.exitCode) {
        std::printf("FAILED: %s does not play again as it was made\n", name.c_str());
        ++failures;
        continue;
      }
      std::printf("%s: %d actions, exit %d\n", name.c_str(), made.actions, made.exitCode);
    } catch (const std::exception& e) {
      std::printf("FAILED: %s: %s\n", name.c_str(), e.what());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
