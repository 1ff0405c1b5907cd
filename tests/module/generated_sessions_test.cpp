#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_files.h"
#include "tests/win32/session_generator.h"

namespace dz::test {
namespace {

namespace fs = std::filesystem;

// A tree of the repository's samples and test sessions, as the Windows tests
// play in; the current directory while it lives.
class SessionTree {
 public:
  explicit SessionTree(const std::string& path) : previous_(fs::current_path()) {
    const fs::path source = DZ_SOURCE_DIR;
    fs::create_directories(fs::path(path) / "tests" / "win32");
    fs::copy(source / "samples", fs::path(path) / "samples", fs::copy_options::recursive);
    fs::copy(source / "tests" / "win32" / "sessions", fs::path(path) / "tests" / "win32" / "sessions",
             fs::copy_options::recursive);
    fs::current_path(path);
  }
  ~SessionTree() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

TEST(GeneratedSessions, FitAndPlayAgainAsTheyWereMade) {
  int actions = 0;
  for (int index = 0; index < 12; ++index) {
    TempDir made, again;
    GeneratedSession session;
    {
      SessionTree tree(made.path());
      ASSERT_NO_THROW(session = GenerateSession(7, index)) << "session " << index;
    }
    GeneratedSession replay;
    {
      SessionTree tree(again.path());
      ASSERT_NO_THROW(replay = PlayScript(session.script)) << session.script;
    }
    EXPECT_EQ(replay.log, session.log) << session.script;
    EXPECT_EQ(replay.exitCode, session.exitCode) << session.script;
    actions += session.actions;
  }
  EXPECT_GT(actions, 12 * 5);
}

TEST(GeneratedSessions, TheSameSeedMakesTheSameSession) {
  TempDir first, second;
  std::string a, b;
  {
    SessionTree tree(first.path());
    a = GenerateSession(11, 3).script;
  }
  {
    SessionTree tree(second.path());
    b = GenerateSession(11, 3).script;
  }
  EXPECT_EQ(a, b);
  TempDir third;
  SessionTree tree(third.path());
  EXPECT_NE(GenerateSession(11, 4).script, a);
}

}  // namespace
}  // namespace dz::test
