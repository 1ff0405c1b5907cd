// The host's side of a session, once for both players: open a feature file,
// hand over a point name, call a command with the arguments it takes, commit,
// dump. What differs between the players stays behind two small interfaces:
// how the engine is read (the stand-in engine natively, its extra exports in
// qelhost) and how a command is called (the module's functions natively, the
// plug-in's ordinals in qelhost).
#pragma once

#include <functional>
#include <string>

#include "base/fixed_field.h"
#include "host/host_library.h"
#include "session/command_table.h"
#include "session/session_script.h"

namespace dz::session {

// How a step, or a whole session, ended.
struct SessionOutcome {
  // 0: played on (to the end); 1: something failed (a file that cannot be
  // opened, an error inside a command); 2: the script does not fit what
  // happened.
  int exitCode = 0;
  int line = 0;
  std::string message;  // UTF-8
};

// What the host's steps read of the feature-file engine beyond HostLibrary.
class EngineReadout {
 public:
  virtual ~EngineReadout() = default;
  // Why the last OpenFeatureFile failed.
  virtual std::string LastOpenError() const = 0;
  // The open file as `dobrenz dump` prints it; false when `file` is not open.
  virtual bool DumpJson(QelHandle file, std::string& json) const = 0;
};

// How a player calls the plug-in's commands.
class CommandCaller {
 public:
  virtual ~CommandCaller() = default;
  // Empty when `command` can be called, else why not (after "command N ").
  virtual std::string Unavailable(const Command& command) = 0;
  // Calls it for `step` with the arguments its shape takes (`handle` and
  // `name12` otherwise unused); an outcome other than 0 ends the session.
  virtual SessionOutcome Call(const ScriptStep& step, const Command& command, int handle, char* name12) = 0;
};

class HostSteps {
 public:
  // One log line (UTF-8, without its line end).
  using LogSink = std::function<void(const std::string& line)>;

  HostSteps(HostLibrary& host, const EngineReadout& engine, LogSink log);

  // Plays one step of the script; a call goes through `caller`, and the
  // point name of a command that takes one is logged after it returned.
  SessionOutcome Play(const ScriptStep& step, CommandCaller& caller);

 private:
  SessionOutcome call(const ScriptStep& step, CommandCaller& caller);

  HostLibrary& host_;
  const EngineReadout& engine_;
  LogSink log_;
  QelHandle file_ = 0;
  char name_[kNameWidth] = {};
};

}  // namespace dz::session
