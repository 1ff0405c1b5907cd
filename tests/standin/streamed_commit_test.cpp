// Commit and save-as stream the file to its temporary in pieces: a file of
// many pieces is still written whole or not at all, under every fault of the
// file layer, and is the bytes the whole-string encoding gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/fixed_field.h"
#include "standin/engine.h"
#include "standin/qel_format.h"
#include "tests/support/injected_fault.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

// The names in `dir` but the lock the open file holds.
std::vector<std::string> entriesOf(const std::string& dir) {
  std::vector<std::string> names = test::namesIn(dir);
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& n) { return n.size() >= 5 && n.compare(n.size() - 5, 5, ".lock") == 0; }),
              names.end());
  return names;
}

class StreamedCommit : public ::testing::Test {
 protected:
  StreamedCommit() {
    handle = engine.OpenFeatureFile(path.c_str());
    addRecords(0);
    EXPECT_GT(engine.CommitFeatureFile(handle), 0);
    original = test::readFile(path);
    addRecords(1);
  }
  ~StreamedCommit() override { engine.CloseFeatureFile(handle); }

  // About a megabyte of points, features with blocks and texts with fields:
  // the writer's pieces are 64 KiB.
  void addRecords(int round) {
    PointRecord p{};
    for (int i = 0; i < 10000; ++i) {
      copyName(p.name, "R" + std::to_string(round) + "P" + std::to_string(i));
      p.north = i;
      engine.AddPoint(handle, &p, 1);
    }
    FeatureHeader header{};
    std::vector<PointRef> refs(7);
    const std::vector<uint8_t> block(228, static_cast<uint8_t>(round + 1));
    for (int i = 0; i < 2000; ++i) engine.AddFeature(handle, &header, refs.data(), 7, block.data(), 228);
    const QelHandle layer = engine.GetTextLayer(handle);
    const double anchor[2] = {1, 2};
    TextStyle style{};
    for (int i = 0; i < 500; ++i) engine.AddTextObject(layer, anchor, "注记", 4, &style, 2);
  }

  test::TempDir dir;
  std::string path = dir.file("f.qel");
  FeatureFileEngine engine{"."};
  QelHandle handle = 0;
  std::string original;
};

TEST_F(StreamedCommit, AFaultAtAnyPieceKeepsTheOldFileAndLeavesNoTemporary) {
  const std::string expected = encodeQel(*engine.store(handle));
  ASSERT_GT(expected.size(), 20u * 65536);
  for (const char* fault : {"no-space@1", "no-space@70000", "no-space@1000000", "short-write@530001", "sync",
                            "rename"}) {
    {
      test::InjectedFileFault injected(fault);
      EXPECT_LE(engine.CommitFeatureFile(handle), 0) << fault;
      EXPECT_LE(engine.SaveFeatureFileAs(handle, dir.file("other.qel").c_str()), 0) << fault;
    }
    EXPECT_EQ(engine.takeProblems().size(), 2u) << fault;
    EXPECT_EQ(test::readFile(path), original) << fault;
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"f.qel"})) << fault;
  }
  // Writes the system takes a little at a time still make the whole file.
  {
    test::InjectedFileFault injected("partial-writes");
    EXPECT_GT(engine.CommitFeatureFile(handle), 0);
  }
  EXPECT_EQ(test::readFile(path), expected);
  EXPECT_GT(engine.SaveFeatureFileAs(handle, dir.file("other.qel").c_str()), 0);
  EXPECT_EQ(test::readFile(dir.file("other.qel")), expected);
}

TEST(ExpectedWork, SizesTheStoreOfTheNextOpenOfThatPathOnly) {
  test::TempDir dir;
  FeatureFileEngine engine(".");
  engine.expectWork(dir.file("a.qel"), 5000, 700);
  const QelHandle other = engine.OpenFeatureFile(dir.file("b.qel").c_str());
  EXPECT_LT(engine.store(other)->points().capacity(), 5000u);
  const QelHandle a = engine.OpenFeatureFile(dir.file("a.qel").c_str());
  EXPECT_GE(engine.store(a)->points().capacity(), 5000u);
  EXPECT_GE(engine.store(a)->features().capacity(), 700u);
  // Only a hint: more than expected may still be added.
  PointRecord p{};
  for (int i = 0; i < 6000; ++i) {
    copyName(p.name, "P" + std::to_string(i));
    ASSERT_EQ(engine.AddPoint(a, &p, 1), 1);
  }
  EXPECT_EQ(engine.GetPointXY(a, "P5999", &p.north, &p.east), 1);
  engine.CloseFeatureFile(a);
  // Taken by that open: the next one starts from nothing.
  const QelHandle again = engine.OpenFeatureFile(dir.file("a.qel").c_str());
  EXPECT_LT(engine.store(again)->points().capacity(), 5000u);
}

}  // namespace
}  // namespace dz
