#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "session/host_steps.h"
#include "session/session_script.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"

namespace dz::session {
namespace {

class FixedReadout : public EngineReadout {
 public:
  std::string LastOpenError() const override { return "the engine's reason"; }
  bool DumpJson(QelHandle file, std::string& json) const override {
    json = "{\"file\":" + std::to_string(file) + "}\n";
    return true;
  }
};

// Records each call with its arguments, hands back "K17" to a command that
// takes a name, and ends the way it is told.
class RecordingCaller : public CommandCaller {
 public:
  std::string Unavailable(const Command&) override { return unavailable; }
  SessionOutcome Call(const ScriptStep& step, const Command& command, int handle, char* name12) override {
    std::string call = std::to_string(command.ordinal) + " handle=" + std::to_string(handle);
    if (command.takesName) {
      call += " name=" + std::string(name12, 12);
      std::memcpy(name12, "K17\0\0\0\0\0\0\0\0\0", 12);
    }
    calls.push_back(call + " line=" + std::to_string(step.line));
    return outcome;
  }

  std::string unavailable;
  SessionOutcome outcome;
  std::vector<std::string> calls;
};

class HostStepsTest : public ::testing::Test {
 protected:
  // Plays `script` to its end or its first outcome that is not 0.
  SessionOutcome Play(const std::string& script) {
    SessionScript parsed;
    ScriptError error;
    EXPECT_TRUE(ParseSessionScript(script, parsed, error)) << error.line << ": " << error.message;
    HostSteps steps(host, readout, [this](const std::string& line) { log.push_back(line); });
    for (const ScriptStep& step : parsed.steps) {
      const SessionOutcome outcome = steps.Play(step, caller);
      if (outcome.exitCode != 0) return outcome;
    }
    return {};
  }

  test::TempDir dir;
  test::RecordingHost host{dir.path()};
  FixedReadout readout;
  RecordingCaller caller;
  std::vector<std::string> log;
};

TEST_F(HostStepsTest, CallsTakeTheOpenFileAndTheNameAndTheNameIsLoggedAfter) {
  const std::string path = dir.file("a.qel");
  const SessionOutcome outcome = Play("open \"" + path + "\"\nname \"K12\"\ncall 10\nend\ncall 50\nend\ncall 50\nend\ncommit\ndump");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.message;
  const std::string nine(9, '\0');
  const std::vector<std::string> calls = {
      "10 handle=1 line=3",
      "50 handle=1 name=K12" + nine + " line=5",
      "50 handle=1 name=K17" + nine + " line=7",  // the name the last call left
  };
  EXPECT_EQ(caller.calls, calls);
  const std::vector<std::string> expected = {
      "name \"K17\" hex=4b3137000000000000000000",
      "name \"K17\" hex=4b3137000000000000000000",
      "{\"file\":1}",
  };
  EXPECT_EQ(log, expected);
  EXPECT_EQ(host.callNames(), (std::vector<std::string>{"OpenFeatureFile", "CommitFeatureFile"}));
}

TEST_F(HostStepsTest, StepsThatDoNotFitOrFailStopAtTheirLine) {
  struct Case {
    std::string script;
    SessionOutcome outcome;
  } cases[] = {
      {"commit", {2, 1, "commit needs an open file: open one first"}},
      {"\ndump", {2, 2, "dump needs an open file: open one first"}},
      {"call 40\nend", {2, 1, "command 40 works on the host's open file: open one first"}},
      {"call 10\nend\ncall 50\nend", {2, 3, "command 50 works on the host's open file: open one first"}},
      {"open \"" + dir.write("bad.qel", "not a feature file") + "\"",
       {1, 1, "cannot open " + dir.file("bad.qel") + ": the engine's reason"}},
  };
  for (const Case& c : cases) {
    const SessionOutcome o = Play(c.script);
    EXPECT_EQ(o.exitCode, c.outcome.exitCode) << c.script;
    EXPECT_EQ(o.line, c.outcome.line) << c.script;
    EXPECT_EQ(o.message, c.outcome.message) << c.script;
  }
  EXPECT_EQ(caller.calls, std::vector<std::string>{"10 handle=0 line=1"});
}

TEST_F(HostStepsTest, ACallThePlayerCannotMakeOrThatEndsTheSessionLogsNoName) {
  caller.unavailable = "is not exported by the plug-in";
  const std::string open = "open \"" + dir.file("a.qel") + "\"\n";
  SessionOutcome o = Play(open + "call 50\nend");
  EXPECT_EQ(o.exitCode, 2);
  EXPECT_EQ(o.message, "command 50 is not exported by the plug-in");
  EXPECT_TRUE(caller.calls.empty());

  caller.unavailable.clear();
  caller.outcome = {2, 9, "the script ends while dialog 4052 is open"};
  o = Play(open + "call 50\nend");
  EXPECT_EQ(o.line, 9);
  EXPECT_EQ(o.message, "the script ends while dialog 4052 is open");
  EXPECT_EQ(caller.calls.size(), 1u);
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace dz::session
