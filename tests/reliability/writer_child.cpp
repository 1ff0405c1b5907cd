// The writers the crash and concurrency tests start, as separate processes:
//
//   writer_child commit-loop FILE
//       commits generation after generation of FILE (generations.h), from
//       the one after the generation FILE holds: prints "ready" when it has
//       read FILE, then each generation once its commit has returned, until
//       it is killed;
//   writer_child add-points FILE PREFIX COUNT
//       COUNT times opens FILE, adds the point PREFIX<i>, commits and closes;
//       prints "saved i" or "busy i" (another writer had the file) for each,
//       and exits 0 only when every point was saved.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "standin/engine.h"
#include "tests/reliability/generations.h"

namespace {

int commitLoop(const std::string& path) {
  dz::FeatureFileEngine engine(".");
  long g = 0;
  const dz::QelHandle first = engine.OpenFeatureFile(path.c_str());
  if (first <= 0) {
    std::fprintf(stderr, "%s\n", engine.lastOpenError().c_str());
    return 2;
  }
  g = dz::test::generationOf(*engine.store(first));
  engine.CloseFeatureFile(first);
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    ++g;
    engine.startEmpty(path);
    const dz::QelHandle h = engine.OpenFeatureFile(path.c_str());
    if (h <= 0) {
      std::fprintf(stderr, "%s\n", engine.lastOpenError().c_str());
      return 2;
    }
    dz::test::fillGeneration(engine, h, g);
    if (engine.CommitFeatureFile(h) <= 0) {
      for (const std::string& p : engine.takeProblems()) std::fprintf(stderr, "%s\n", p.c_str());
      return 3;
    }
    engine.CloseFeatureFile(h);
    std::printf("%ld\n", g);
    std::fflush(stdout);
  }
}

int addPoints(const std::string& path, const std::string& prefix, int count) {
  int saved = 0;
  for (int i = 1; i <= count; ++i) {
    dz::FeatureFileEngine engine(".");
    const dz::QelHandle h = engine.OpenFeatureFile(path.c_str());
    if (h <= 0) {
      const bool busy = engine.lastOpenError().find("file in use by another process") != std::string::npos;
      std::printf("%s %d\n", busy ? "busy" : "failed", i);
      continue;
    }
    dz::PointRecord p{};
    dz::copyName(p.name, prefix + std::to_string(i));
    engine.AddPoint(h, &p, 1);
    const bool committed = engine.CommitFeatureFile(h) > 0;
    engine.CloseFeatureFile(h);
    std::printf("%s %d\n", committed ? "saved" : "failed", i);
    saved += committed ? 1 : 0;
  }
  std::fflush(stdout);
  return saved == count ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "commit-loop") == 0) return commitLoop(argv[2]);
  if (argc == 5 && std::strcmp(argv[1], "add-points") == 0) return addPoints(argv[2], argv[3], std::atoi(argv[4]));
  std::fprintf(stderr, "usage: writer_child commit-loop FILE | add-points FILE PREFIX COUNT\n");
  return 2;
}
