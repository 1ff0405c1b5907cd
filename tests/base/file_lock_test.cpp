#include "base/file_lock.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "base/file_io.h"
#include "base/sibling_files.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using Result = FileLock::Result;

class FileLockTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string target = dir.file("out.qel");
  std::string error;
};

TEST_F(FileLockTest, ASecondWriterIsRefusedUntilTheFirstLetsGo) {
  FileLock first, second;
  ASSERT_EQ(first.acquire(target, error), Result::Locked) << error;
  EXPECT_TRUE(first.held());
  EXPECT_EQ(second.acquire(target, error), Result::Busy);
  EXPECT_FALSE(second.held());
  first.release();
  EXPECT_EQ(second.acquire(target, error), Result::Locked) << error;
}

TEST_F(FileLockTest, ALockFileIsLeftOnlyWhileHeld) {
  {
    FileLock lock;
    ASSERT_EQ(lock.acquire(target, error), Result::Locked) << error;
    EXPECT_TRUE(fileExists(lockFileFor(target)));
    FileLock moved = std::move(lock);
    EXPECT_TRUE(moved.held());
    EXPECT_FALSE(lock.held());
  }
  EXPECT_FALSE(fileExists(lockFileFor(target)));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(FileLockTest, AnotherProcessIsRefusedToo) {
  FileLock lock;
  ASSERT_EQ(lock.acquire(target, error), Result::Locked) << error;
  const int child = test::runInChild([&] {
    FileLock other;
    std::string e;
    return other.acquire(target, e) == Result::Busy ? 0 : 1;
  });
  EXPECT_EQ(child, 0);
}

// A killed writer never leaves its file locked: the system lets go of its
// lock, and the lock file it leaves is taken by the next writer.
TEST_F(FileLockTest, AKilledHolderLeavesTheFileFreeToLock) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    FileLock lock;
    std::string e;
    const char state = lock.acquire(target, e) == Result::Locked ? 'L' : 'F';
    if (write(ready[1], &state, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char state = 0;
  ASSERT_EQ(read(ready[0], &state, 1), 1);
  EXPECT_EQ(state, 'L');
  FileLock lock;
  EXPECT_EQ(lock.acquire(target, error), Result::Busy);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(fileExists(lockFileFor(target)));  // left behind, but nobody holds it
  EXPECT_EQ(lock.acquire(target, error), Result::Locked) << error;
}

TEST_F(FileLockTest, AFolderThatIsNotThereHasNothingToGuard) {
  FileLock lock;
  EXPECT_EQ(lock.acquire(dir.file("missing/out.qel"), error), Result::Unlockable);
  EXPECT_FALSE(lock.held());
}

TEST_F(FileLockTest, AFolderThatTakesNoNewFileHasNothingToGuard) {
  test::openToEveryone(dir.path());
  ASSERT_EQ(mkdir(dir.file("shut").c_str(), 0555), 0);
  const std::string shut = dir.file("shut/out.qel");
  const int result = test::runInChild(
      [&] {
        FileLock lock;
        std::string e;
        return static_cast<int>(lock.acquire(shut, e));
      },
      {true, 10});
  EXPECT_EQ(result, static_cast<int>(Result::Unlockable));
}

// A link planted at the lock file's name is not followed to create a file
// elsewhere.
TEST_F(FileLockTest, ALinkAtTheLockNameIsNotFollowed) {
  ASSERT_EQ(symlink(dir.file("elsewhere").c_str(), lockFileFor(target).c_str()), 0);
  FileLock lock;
  EXPECT_EQ(lock.acquire(target, error), Result::Failed);
  EXPECT_NE(error.find("cannot lock " + target), std::string::npos) << error;
  EXPECT_FALSE(fileExists(dir.file("elsewhere")));
}

}  // namespace
}  // namespace dz
