#include "module/session_runner.h"

#include "base/fixed_field.h"
#include "module/commands.h"
#include "module/module_state.h"
#include "res/dialog_templates.h"
#include "standin/qel_dump.h"
#include "ui/headless/headless_backend.h"
#include "ui/session_log.h"

namespace dz::module {
namespace {

SessionOutcome stop(int exitCode, int line, std::string message) { return {exitCode, line, std::move(message)}; }

}  // namespace

SessionOutcome RunSession(const ui::SessionScript& script, HostLibrary& host, const FeatureFileEngine& engine,
                          const std::function<void(const std::string& line)>& log) {
  ui::HeadlessBackend backend(log, [](int id) { return res::FindDialogTemplate(id); });
  std::string unexpected;
  ModuleContext context;
  context.host = &host;
  context.ui = *backend.Services();
  context.unexpectedFailure = [&](const std::string& what) {
    if (!backend.Failed()) unexpected = what;
  };
  ModuleAttachment attachment(context);

  QelHandle file = 0;
  char name[kNameWidth] = {};
  for (const ui::ScriptStep& step : script.steps) {
    switch (step.kind) {
      case ui::ScriptStep::Kind::Open: {
        const QelHandle h = host.OpenFeatureFile(step.text.c_str());
        if (h <= 0) return stop(1, step.line, "cannot open " + step.utf8 + ": " + engine.lastOpenError());
        file = h;
        break;
      }
      case ui::ScriptStep::Kind::Name:
        copyFieldFrom(name, kNameWidth, step.text.data());
        break;
      case ui::ScriptStep::Kind::Call: {
        const CommandInfo* command = FindCommand(step.ordinal);
        const std::string label = "command " + std::to_string(step.ordinal);
        if (!command || !command->available) return stop(2, step.line, label + " is not available in this build");
        if (command->takesHandle && file <= 0)
          return stop(2, step.line, label + " works on the host's open file: open one first");
        backend.BeginActions(step.actions, step.endLine);
        unexpected.clear();
        InvokeCommand(step.ordinal, file, name);
        if (backend.Failed()) return stop(2, backend.Failure().line, backend.Failure().message);
        if (!unexpected.empty()) return stop(1, step.line, label + " failed: " + unexpected);
        if (command->takesName) log(ui::LogName(name));
        if (!backend.FinishActions()) return stop(2, backend.Failure().line, backend.Failure().message);
        break;
      }
      case ui::ScriptStep::Kind::Commit:
        if (file <= 0) return stop(2, step.line, "commit needs an open file: open one first");
        host.CommitFeatureFile(file);
        break;
      case ui::ScriptStep::Kind::Dump: {
        const FeatureStore* store = file > 0 ? engine.store(file) : nullptr;
        if (!store) return stop(2, step.line, "dump needs an open file: open one first");
        std::string json = dumpFeatureStore(*store);
        if (!json.empty() && json.back() == '\n') json.pop_back();
        log(json);
        break;
      }
    }
  }
  return {};
}

}  // namespace dz::module
