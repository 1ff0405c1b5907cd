// The engine and the files it opens and saves: only a path where nothing is
// opens as new, one writer at a time, saves through links that keep the
// file's mode, and nothing left behind by a killed or failed save.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/sibling_files.h"
#include "standin/engine.h"
#include "tests/support/child_process.h"
#include "tests/support/injected_fault.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using Names = std::vector<std::string>;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class EngineFiles : public ::testing::Test {
 protected:
  EngineFiles() {
    // A feature file with one point.
    FeatureFileEngine maker(".");
    const QelHandle h = maker.OpenFeatureFile(path.c_str());
    addPoint(maker, h, "P1");
    maker.CommitFeatureFile(h);
    original = test::readFile(path);
  }

  static void addPoint(HostLibrary& host, QelHandle h, const char* name) {
    PointRecord p{};
    copyName(p.name, name);
    host.AddPoint(h, &p, 1);
  }

  test::TempDir dir;
  std::string path = dir.file("f.qel");
  std::string original;
  FeatureFileEngine engine{"."};
};

// Mode 000 made the test of existence fail, and the file opened as new: a
// later commit replaced it with just the new points.
TEST_F(EngineFiles, AFileItsUserMayNotReadIsRefusedNotStartedAfresh) {
  test::openToEveryone(dir.path());
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  const int result = test::runInChild(
      [&] {
        FeatureFileEngine other(".");
        const QelHandle h = other.OpenFeatureFile(path.c_str());
        if (h > 0) {
          addPoint(other, h, "NEW");
          other.CommitFeatureFile(h);
          return 1;
        }
        return other.lastOpenError() == path + ": cannot be read: Permission denied" ? 0 : 2;
      },
      {true, 20});
  EXPECT_EQ(result, 0);
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  EXPECT_EQ(test::readFile(path), original);
}

// A FIFO at the path made the open wait for a writer for ever; a device was
// read as an empty file and, with --overwrite, replaced.
TEST_F(EngineFiles, WhatIsNotARegularFileIsRefusedWithOrWithoutStartingEmpty) {
  const std::string fifo = dir.file("pipe.qel");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const std::string folder = dir.file("folder.qel");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const int result = test::runInChild(
      [&] {
        int wrong = 0;
        for (bool startEmpty : {false, true}) {
          FeatureFileEngine other(".");
          if (startEmpty) other.startEmpty(fifo);
          if (other.OpenFeatureFile(fifo.c_str()) > 0 || other.lastOpenError() != fifo + " is not a regular file")
            ++wrong;
          if (startEmpty) other.startEmpty(folder);
          if (other.OpenFeatureFile(folder.c_str()) > 0 ||
              other.lastOpenError() != folder + " is a directory, not a feature file")
            ++wrong;
        }
        return wrong;
      },
      {false, 20});
  EXPECT_EQ(result, 0);
  struct stat st;
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// Two writers each read the file, and the later commit dropped what the
// earlier one had written.
TEST_F(EngineFiles, ASecondWriterIsRefusedUntilTheFirstCloses) {
  const QelHandle first = engine.OpenFeatureFile(path.c_str());
  ASSERT_GT(first, 0) << engine.lastOpenError();

  FeatureFileEngine second(".");
  EXPECT_EQ(second.OpenFeatureFile(path.c_str()), 0);
  EXPECT_EQ(second.lastOpenError(), path + ": file in use by another process");
  const int inChild = test::runInChild([&] {
    FeatureFileEngine other(".");
    return other.OpenFeatureFile(path.c_str()) == 0 && contains(other.lastOpenError(), "file in use by another process")
               ? 0
               : 1;
  });
  EXPECT_EQ(inChild, 0);

  addPoint(engine, first, "P2");
  EXPECT_GT(engine.CommitFeatureFile(first), 0);
  EXPECT_GT(engine.CloseFeatureFile(first), 0);
  const QelHandle later = second.OpenFeatureFile(path.c_str());
  ASSERT_GT(later, 0) << second.lastOpenError();
  EXPECT_EQ(second.store(later)->points().size(), 2u);
}

// The same engine does not hand out a second copy, which one commit would
// overwrite with the other: a second open is another handle to the file,
// locked until the last handle closes.
TEST_F(EngineFiles, ASecondOpenInOneEngineSharesTheFile) {
  const QelHandle first = engine.OpenFeatureFile(path.c_str());
  const QelHandle again = engine.OpenFeatureFile(path.c_str());
  ASSERT_GT(first, 0);
  ASSERT_GT(again, 0);
  EXPECT_NE(first, again);
  addPoint(engine, first, "P2");
  EXPECT_EQ(engine.store(again)->points().size(), 2u);
  EXPECT_GT(engine.CloseFeatureFile(first), 0);
  addPoint(engine, again, "P3");
  EXPECT_GT(engine.CommitFeatureFile(again), 0);
  FeatureFileEngine other(".");
  EXPECT_EQ(other.OpenFeatureFile(path.c_str()), 0);
  EXPECT_GT(engine.CloseFeatureFile(again), 0);
  const QelHandle later = other.OpenFeatureFile(path.c_str());
  ASSERT_GT(later, 0) << other.lastOpenError();
  EXPECT_EQ(other.store(later)->points().size(), 3u);
  // Started afresh, a file open already is not: that would drop the open one's data.
  other.startEmpty(path);
  EXPECT_EQ(other.OpenFeatureFile(path.c_str()), 0);
  EXPECT_EQ(other.lastOpenError(), path + ": file in use: it is open already");
}

TEST_F(EngineFiles, SaveAsOntoAFileAnotherWriterHoldsIsRefused) {
  const std::string held = dir.file("held.qel");
  FeatureFileEngine holder(".");
  const QelHandle theirs = holder.OpenFeatureFile(held.c_str());
  ASSERT_GT(theirs, 0);
  const QelHandle h = engine.OpenFeatureFile(path.c_str());
  ASSERT_GT(h, 0);
  EXPECT_LE(engine.SaveFeatureFileAs(h, held.c_str()), 0);
  EXPECT_EQ(engine.takeProblems(), (std::vector<std::string>{held + ": file in use by another process"}));
  EXPECT_FALSE(fileExists(held));
  holder.CloseFeatureFile(theirs);
  EXPECT_GT(engine.SaveFeatureFileAs(h, held.c_str()), 0);
  EXPECT_EQ(test::readFile(held), original);
  // Saved as itself, the file is the one it has locked already.
  EXPECT_GT(engine.SaveFeatureFileAs(h, path.c_str()), 0);
  EXPECT_TRUE(engine.takeProblems().empty());
}

// A killed run's <target>.tmp~, up to the size of the file, stayed for good.
TEST_F(EngineFiles, WhatKilledSavesLeftIsRemovedWhenTheFileIsOpened) {
  dir.write("f.qel.tmp~", "left by a killed save");
  dir.write(fileNameOf(newTemporaryFor(path)), "left by a killed save");
  dir.write(fileNameOf(newTemporaryFor(dir.file("g.qel"))), "another file's");
  const QelHandle h = engine.OpenFeatureFile(path.c_str());
  ASSERT_GT(h, 0) << engine.lastOpenError();
  const Names entries = test::namesIn(dir.path());
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::string& n) { return contains(n, "f.qel."); }),
            1)  // the lock
      << ::testing::PrintToString(entries);
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::string& n) { return contains(n, "g.qel."); }),
            1);
  engine.CloseFeatureFile(h);
}

// Saving through a link replaced the link with a file of its own: the linked
// file kept the old data, and a private file became readable by all.
TEST_F(EngineFiles, ALinkedFileIsSavedThroughTheLinkAndKeepsItsMode) {
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  const std::string link = dir.file("link.qel");
  ASSERT_EQ(symlink("f.qel", link.c_str()), 0);
  const QelHandle h = engine.OpenFeatureFile(link.c_str());
  ASSERT_GT(h, 0) << engine.lastOpenError();
  addPoint(engine, h, "P2");
  ASSERT_GT(engine.CommitFeatureFile(h), 0);
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_NE(test::readFile(path), original);
  // The file is the link's target: opening it by its own name is a second writer.
  FeatureFileEngine second(".");
  EXPECT_EQ(second.OpenFeatureFile(path.c_str()), 0);
  EXPECT_EQ(second.lastOpenError(), path + ": file in use by another process");
}

TEST_F(EngineFiles, AFileWithA255ByteNameIsSaved) {
  const std::string longPath = dir.file(std::string(251, 'n') + ".qel");
  const QelHandle h = engine.OpenFeatureFile(longPath.c_str());
  ASSERT_GT(h, 0) << engine.lastOpenError();
  addPoint(engine, h, "P1");
  EXPECT_GT(engine.CommitFeatureFile(h), 0);
  EXPECT_TRUE(engine.takeProblems().empty());
  engine.CloseFeatureFile(h);
  EXPECT_EQ(test::readFile(longPath), original);
}

TEST_F(EngineFiles, AFailedCommitKeepsTheOldFileAndTellsTheProblem) {
  const QelHandle h = engine.OpenFeatureFile(path.c_str());
  ASSERT_GT(h, 0);
  for (int i = 0; i < 100; ++i) addPoint(engine, h, ("Q" + std::to_string(i)).c_str());
  {
    test::InjectedFileFault fault("no-space@1000");
    EXPECT_LE(engine.CommitFeatureFile(h), 0);
  }
  const std::vector<std::string> problems = engine.takeProblems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "cannot write " + path + ": No space left on device");
  EXPECT_EQ(test::readFile(path), original);
  engine.CloseFeatureFile(h);
  EXPECT_EQ(test::namesIn(dir.path()), Names{"f.qel"});
}

}  // namespace
}  // namespace dz
