// dobrenz run: a scripted dialog session on the headless backend.
#include <cstdio>

#include "base/file_io.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "module/session_runner.h"
#include "session/session_script.h"

namespace dz::cli {
namespace {

int runSession(const Options& options) {
  const std::string& path = options.operand();
  std::string text;
  if (!fileExists(path)) {
    printError("dobrenz run: " + shownPath(path) + " does not exist");
    return kExitFailure;
  }
  if (!readWholeFile(path, text)) {
    printError("dobrenz run: " + shownPath(path) + " cannot be read");
    return kExitFailure;
  }
  session::SessionScript script;
  session::ScriptError error;
  if (!session::ParseSessionScript(text, script, error)) {
    printError("dobrenz run: " + shownPath(path) + ":" + std::to_string(error.line) + ": " + error.message);
    return kExitUsage;
  }

  const std::string& trace = options.value("trace");
  if (!traceIsApart("run", trace, {{"SCRIPT", path}})) return kExitFailure;
  HostSession session(options.value("host-dir"), trace);
  session.startTrace();
  const session::SessionOutcome outcome =
      module::RunSession(script, session.host(), session.engine(), [](const std::string& line) {
        writeOut(line + "\n");
        std::fflush(stdout);
      });
  const int problems = session.reportProblems();
  if (outcome.exitCode != kExitOk) {
    printError("dobrenz run: " + shownPath(path) + ":" + std::to_string(outcome.line) + ": " + outcome.message);
    return outcome.exitCode;
  }
  return problems > 0 ? kExitFailure : kExitOk;
}

}  // namespace

const Command& runSessionCommand() {
  static const Command command{
      "run",
      "play a scripted dialog session (docs/dialogs.md)",
      "Plays a scripted session: the host opens files and calls the commands, the user\n"
      "types, clicks and answers in the dialogs (see docs/dialogs.md). The log goes to\n"
      "standard output, one event per line. Exit 2 when the script does not fit what\n"
      "happens, 1 when something failed.",
      {
          hostDirOption("the code tables"),
          traceOption(),
      },
      "SCRIPT",
      "script",
      runSession,
  };
  return command;
}

}  // namespace dz::cli
