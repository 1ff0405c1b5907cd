// A writer killed at random moments while it commits generation after
// generation of a feature file of about a megabyte: whatever moment it dies,
// the file left loads and is, byte for byte, one generation whole, never
// older than the last commit that returned; and the next open of the file
// clears what the killed writer left beside it.
//
// DZ_CRASH_TRIALS sets the number of kills (100 by default;
// scripts/crash-test.sh runs thousands).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "base/file_io.h"
#include "standin/engine.h"
#include "standin/qel_format.h"
#include "tests/reliability/generations.h"
#include "tests/reliability/spawned.h"
#include "tests/support/test_files.h"

namespace dz::test {
namespace {

int trialsWanted() {
  const char* text = std::getenv("DZ_CRASH_TRIALS");
  const int n = text ? std::atoi(text) : 0;
  return n > 0 ? n : 100;
}

std::string bytesOfGeneration(const std::string& scratch, long g) {
  FeatureFileEngine engine(".");
  const QelHandle h = engine.OpenFeatureFile(scratch.c_str());  // never committed
  fillGeneration(engine, h, g);
  return encodeQel(*engine.store(h));
}

// The last line of `text` that has its line end; "" when none has.
std::string lastWholeLine(std::string text) {
  const size_t end = text.rfind('\n');
  if (end == std::string::npos) return "";
  text.resize(end);
  const size_t start = text.rfind('\n');
  return start == std::string::npos ? text : text.substr(start + 1);
}

bool isTemporary(const std::string& name) { return name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0; }

TEST(CrashSafety, AWriterKilledAtAnyMomentLeavesOneWholeGeneration) {
  TempDir dir;
  TempDir scratch;
  const std::string path = dir.file("crash.qel");
  {
    FeatureFileEngine engine(".");
    const QelHandle h = engine.OpenFeatureFile(path.c_str());
    fillGeneration(engine, h, 0);
    ASSERT_GT(engine.CommitFeatureFile(h), 0);
  }
  std::mt19937 random(std::random_device{}());
  const int trials = trialsWanted();
  long lastReturned = 0;  // the last generation whose commit returned
  int killedWhileWriting = 0;
  // How long a commit takes on this machine now: the kills fall in the span
  // of two commits after the writer is ready, however fast it commits.
  std::chrono::microseconds commit{0};
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    Spawned writer({WRITER_CHILD_EXE, "commit-loop", path}, scratch.file("err"));
    std::string line;
    ASSERT_TRUE(writer.readLine(line) && line == "ready") << readFile(scratch.file("err"));
    if (trial == 0) {
      // The first trial measures three commits and is killed after them.
      const auto ready = std::chrono::steady_clock::now();
      for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.readLine(line)) << readFile(scratch.file("err"));
      commit = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - ready) / 3;
    } else {
      std::uniform_int_distribution<long long> delay(0, 2 * commit.count());
      std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    }
    writer.killNow();
    writer.wait();
    // The last whole line is the last generation whose commit returned.
    const std::string last = lastWholeLine(line + "\n" + writer.output());
    if (last != "ready") lastReturned = std::atol(last.c_str());
    const std::vector<std::string> left = test::namesIn(dir.path());
    if (std::any_of(left.begin(), left.end(), isTemporary)) ++killedWhileWriting;

    std::string bytes, reason;
    ASSERT_TRUE(readWholeFile(path, bytes, &reason)) << reason;
    FeatureStore store;
    ASSERT_TRUE(decodeQel(bytes, store, reason)) << reason;
    const long g = generationOf(store);
    // A commit that returned is never undone; at most the one under way
    // when the writer died is there besides.
    ASSERT_GE(g, lastReturned);
    ASSERT_LE(g, lastReturned + 1);
    ASSERT_EQ(bytes, bytesOfGeneration(scratch.file("expected.qel"), g)) << "generation " << g;
    lastReturned = g;

    // The next writer to open the file finds nothing of the killed one.
    FeatureFileEngine next(".");
    const QelHandle h = next.OpenFeatureFile(path.c_str());
    ASSERT_GT(h, 0) << next.lastOpenError();
    next.CloseFeatureFile(h);
    ASSERT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"crash.qel"});
  }
  std::printf("crash test: %d kills, %d while a temporary file was being written, %ld generations committed, "
              "%lld us a commit\n",
              trials, killedWhileWriting, lastReturned, static_cast<long long>(commit.count()));
  // Some kills have to fall inside the writing of a file for the test to
  // show anything: about one in six does here.
  EXPECT_GE(killedWhileWriting, trials / 50);
}

}  // namespace
}  // namespace dz::test
