// Plays a session script natively: the host's steps (session/host_steps.h)
// on the stand-in engine, each call through the module's commands as the
// host makes it, and the user's side on the headless backend with the
// plug-in's own dialog templates. The log lines are the ones the player
// against real windows prints.
#pragma once

#include <functional>
#include <string>

#include "host/host_library.h"
#include "session/headless_backend.h"
#include "session/host_steps.h"
#include "session/session_script.h"
#include "standin/engine.h"

namespace dz::module {

// `host` is what the commands use (the engine, or a tracer over it);
// `engine` answers the dump and why a file cannot be opened. Each log line
// goes to `log` without its line end. The module is attached for the run.
// `source`, when given, is asked for the user's actions a call's script
// lacks (session/headless_backend.h).
session::SessionOutcome RunSession(const session::SessionScript& script, HostLibrary& host,
                                   const FeatureFileEngine& engine,
                                   const std::function<void(const std::string& line)>& log,
                                   session::HeadlessBackend::ActionSource source = {});

}  // namespace dz::module
