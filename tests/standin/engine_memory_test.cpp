// The engine's in-memory mode, for fuzzing: commit and save-as encode the
// file into memory, and no file is read or written.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "standin/engine.h"
#include "standin/qel_format.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

TEST(EngineInMemory, CommitAndSaveAsEncodeIntoMemoryAndTouchNoFile) {
  test::TempDir dir;
  const std::string path = dir.file("out.qel"), copy = dir.file("copy.qel");
  dir.write("old.qel", "not a feature file: never read");
  FeatureFileEngine engine(dir.path());
  engine.keepFilesInMemory();

  // A file on disk is not read: the path opens empty.
  const QelHandle old = engine.OpenFeatureFile(dir.file("old.qel").c_str());
  ASSERT_GT(old, 0) << engine.lastOpenError();
  engine.CloseFeatureFile(old);

  const QelHandle h = engine.OpenFeatureFile(path.c_str());
  PointRecord p{};
  copyName(p.name, "P1");
  p.north = 1.5;
  engine.AddPoint(h, &p, 1);
  EXPECT_EQ(engine.CommitFeatureFile(h), 1);
  engine.PrepareSaveAs(h);
  EXPECT_EQ(engine.SaveFeatureFileAs(h, copy.c_str()), 1);
  engine.CloseFeatureFile(h);
  EXPECT_TRUE(engine.takeProblems().empty());
  EXPECT_FALSE(fileExists(path));
  EXPECT_FALSE(fileExists(copy));

  ASSERT_NE(engine.memoryImage(path), nullptr);
  EXPECT_EQ(engine.memoryImage(dir.file("never.qel")), nullptr);
  FeatureStore store;
  std::string reason;
  ASSERT_TRUE(decodeQel(*engine.memoryImage(copy), store, reason)) << reason;
  ASSERT_EQ(store.points().size(), 1u);

  // Opened again, the path starts from what its commit left in memory.
  const QelHandle again = engine.OpenFeatureFile(path.c_str());
  ASSERT_NE(engine.store(again), nullptr);
  EXPECT_EQ(engine.store(again)->points().size(), 1u);
}

}  // namespace
}  // namespace dz
