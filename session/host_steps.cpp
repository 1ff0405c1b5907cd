#include "session/host_steps.h"

#include "session/session_log.h"

namespace dz::session {
namespace {

SessionOutcome stop(int exitCode, int line, std::string message) { return {exitCode, line, std::move(message)}; }

}  // namespace

HostSteps::HostSteps(HostLibrary& host, const EngineReadout& engine, LogSink log)
    : host_(host), engine_(engine), log_(std::move(log)) {}

SessionOutcome HostSteps::Play(const ScriptStep& step, CommandCaller& caller) {
  switch (step.kind) {
    case ScriptStep::Kind::Open: {
      const QelHandle h = host_.OpenFeatureFile(step.text.c_str());
      if (h <= 0) return stop(1, step.line, "cannot open " + step.utf8 + ": " + engine_.LastOpenError());
      file_ = h;
      return {};
    }
    case ScriptStep::Kind::Name:
      copyFieldFrom(name_, kNameWidth, step.text.data());
      return {};
    case ScriptStep::Kind::Call:
      return call(step, caller);
    case ScriptStep::Kind::Commit:
      if (file_ <= 0) return stop(2, step.line, "commit needs an open file: open one first");
      host_.CommitFeatureFile(file_);
      return {};
    case ScriptStep::Kind::Dump: {
      std::string json;
      if (file_ <= 0 || !engine_.DumpJson(file_, json)) return stop(2, step.line, "dump needs an open file: open one first");
      if (!json.empty() && json.back() == '\n') json.pop_back();
      log_(json);
      return {};
    }
  }
  return {};
}

SessionOutcome HostSteps::call(const ScriptStep& step, CommandCaller& caller) {
  const std::string label = "command " + std::to_string(step.ordinal);
  const Command* command = FindCommand(step.ordinal);
  const std::string unavailable = command ? caller.Unavailable(*command) : "is not one of the plug-in's commands";
  if (!unavailable.empty()) return stop(2, step.line, label + " " + unavailable);
  if (command->takesHandle && file_ <= 0)
    return stop(2, step.line, label + " works on the host's open file: open one first");
  SessionOutcome outcome = caller.Call(step, *command, file_, name_);
  if (outcome.exitCode != 0) return outcome;
  if (command->takesName) log_(LogName(name_));
  return {};
}

}  // namespace dz::session
