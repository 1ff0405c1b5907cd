#include "module/session_runner.h"

#include "module/commands.h"
#include "module/module_state.h"
#include "res/dialog_templates.h"
#include "session/headless_backend.h"
#include "standin/qel_dump.h"

namespace dz::module {
namespace {

class EngineDump : public session::EngineReadout {
 public:
  explicit EngineDump(const FeatureFileEngine& engine) : engine_(engine) {}
  std::string LastOpenError() const override { return engine_.lastOpenError(); }
  bool DumpJson(QelHandle file, std::string& json) const override {
    const FeatureStore* store = engine_.store(file);
    if (!store) return false;
    json = dumpFeatureStore(*store);
    return true;
  }

 private:
  const FeatureFileEngine& engine_;
};

// Calls the module's commands as the host does, with the user's actions of
// the call on the headless backend.
class ModuleCaller : public session::CommandCaller {
 public:
  explicit ModuleCaller(session::HeadlessBackend& backend) : backend_(backend) {}

  // What the module's frame caught, unless the script stopped the command.
  void Unexpected(const std::string& what) {
    if (!backend_.Failed()) unexpected_ = what;
  }

  std::string Unavailable(const session::Command&) override { return std::string(); }

  session::SessionOutcome Call(const session::ScriptStep& step, const session::Command& command, int handle,
                               char* name12) override {
    backend_.BeginActions(step.actions, step.endLine);
    unexpected_.clear();
    InvokeCommand(command.ordinal, handle, name12);
    if (backend_.Failed()) return {2, backend_.Failure().line, backend_.Failure().message};
    if (!unexpected_.empty())
      return {1, step.line, "command " + std::to_string(command.ordinal) + " failed: " + unexpected_};
    return {};
  }

 private:
  session::HeadlessBackend& backend_;
  std::string unexpected_;
};

}  // namespace

session::SessionOutcome RunSession(const session::SessionScript& script, HostLibrary& host,
                                   const FeatureFileEngine& engine,
                                   const std::function<void(const std::string& line)>& log,
                                   session::HeadlessBackend::ActionSource source) {
  session::HeadlessBackend backend(log, [](int id) { return res::FindDialogTemplate(id); });
  backend.SetActionSource(std::move(source));
  ModuleCaller caller(backend);
  ModuleContext context;
  context.host = &host;
  context.ui = *backend.Services();
  context.unexpectedFailure = [&caller](const std::string& what) { caller.Unexpected(what); };
  ModuleAttachment attachment(context);

  const EngineDump readout(engine);
  session::HostSteps steps(host, readout, log);
  for (const session::ScriptStep& step : script.steps) {
    const session::SessionOutcome outcome = steps.Play(step, caller);
    if (outcome.exitCode != 0) return outcome;
    if (step.kind == session::ScriptStep::Kind::Call && !backend.FinishActions())
      return {2, backend.Failure().line, backend.Failure().message};
  }
  return {};
}

}  // namespace dz::module
