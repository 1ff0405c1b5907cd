// Plays a session script natively: the host's side (open, name, commit,
// dump) on the stand-in engine, each call through the module's commands as
// the host makes it, and the user's side on the headless backend. The log
// lines are the ones the player against real windows prints.
#pragma once

#include <functional>
#include <string>

#include "host/host_library.h"
#include "standin/engine.h"
#include "ui/session_script.h"

namespace dz::module {

struct SessionOutcome {
  // 0: played to the end; 1: something failed (a file that cannot be opened,
  // an error inside a command); 2: the script does not fit what happened.
  int exitCode = 0;
  int line = 0;
  std::string message;  // UTF-8
};

// `host` is what the commands use (the engine, or a tracer over it);
// `engine` answers the dump and why a file cannot be opened. Each log line
// goes to `log` without its line end. The module is attached for the run.
SessionOutcome RunSession(const ui::SessionScript& script, HostLibrary& host, const FeatureFileEngine& engine,
                          const std::function<void(const std::string& line)>& log);

}  // namespace dz::module
