#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz::test {
namespace {

struct RunCase {
  std::string script;  // written to s.script; empty: no script file
  std::vector<std::string> args;
  int exitCode;
  std::string outContains;
  std::string errContains;
};

TEST(DobrenzRun, UsageScriptsAndExitCodes) {
  const RunCase cases[] = {
      {"", {}, 2, "", "expected one script"},
      {"", {"--help"}, 0, "usage: dobrenz run SCRIPT", ""},
      {"", {"missing.script"}, 1, "", "missing.script does not exist"},
      {"call 20\n  click 2\nend\n", {"s.script"}, 0, "dialog 1002 closed 2", ""},
      {"# comment\ncall 20\n  clack 2\nend\n", {"s.script"}, 2, "", "s.script:3: unknown word 'clack'"},
      {"call 20\n  show 1013\n  click 1999\nend\n", {"s.script"}, 2, "control 1013", "s.script:3: control 1999"},
      {"call 20\n  show 1013\nend\n", {"s.script"}, 2, "", "s.script:3: the script ends while dialog 1002 is open"},
      {"call 20\n  click 2\n  answer ok\nend\n", {"s.script"}, 2, "closed 2", "s.script:3: no message box is open"},
      {"call 40\nend\n", {"s.script"}, 2, "", "s.script:1: command 40 works on the host's open file"},
      {"open \"broken.qel\"\n", {"s.script"}, 1, "", "s.script:1: cannot open broken.qel"},
      {"open \"new.qel\"\ndump\n", {"s.script"}, 0, "\"qel-dump/1\"", ""},
  };
  for (const RunCase& c : cases) {
    TempDir dir;
    dir.write("broken.qel", "not a feature file");
    if (!c.script.empty()) dir.write("s.script", c.script);
    std::vector<std::string> args = {"run"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CommandResult r = runCommand(DOBRENZ_EXE, args, "", dir.path());
    EXPECT_EQ(r.exitCode, c.exitCode) << c.script << "\n" << r.err;
    EXPECT_NE(r.out.find(c.outContains), std::string::npos) << c.script << "\n" << r.out;
    EXPECT_NE(r.err.find(c.errContains), std::string::npos) << c.script << "\n" << r.err;
  }
}

TEST(DobrenzRun, CommitWritesTheOpenFile) {
  TempDir dir;
  dir.write("s.script", "open \"made.qel\"\ncommit\n");
  const CommandResult r = runCommand(DOBRENZ_EXE, {"run", "s.script"}, "", dir.path());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("made.qel")));
  EXPECT_EQ(r.out, "");
}

// Every sample script plays to its end and logs exactly what its .expected
// file says. The scripts name their files from the repository root and write
// their feature files there, so each plays in a fresh copy of the samples.
TEST(DobrenzRun, SampleScriptsLogWhatTheyExpect) {
  namespace fs = std::filesystem;
  const fs::path samples = fs::path(DZ_SOURCE_DIR) / "samples";
  int played = 0;
  for (const auto& entry : fs::directory_iterator(samples / "scripts")) {
    if (entry.path().extension() != ".script") continue;
    fs::path expected = entry.path();
    expected.replace_extension(".expected");
    SCOPED_TRACE(entry.path().filename().string());
    TempDir root;
    fs::copy(samples, fs::path(root.path()) / "samples", fs::copy_options::recursive);
    const std::string script = "samples/scripts/" + entry.path().filename().string();
    const CommandResult r =
        runCommand(DOBRENZ_EXE, {"run", script, "--host-dir", "samples/host"}, "", root.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, readFile(expected.string()));
    ++played;
  }
  EXPECT_GE(played, 8);
}

}  // namespace
}  // namespace dz::test
