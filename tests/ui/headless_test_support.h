// Test support for dialogs on the headless backend: the user's actions
// written as script lines, a backend whose log is kept (on the plug-in's own
// dialog templates unless told otherwise), and its services made current for
// the dialogs a test builds.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/dialog_templates.h"
#include "session/headless_backend.h"
#include "session/session_script.h"

namespace dz::test {

// The actions of `lines` (script action lines, one per line), as if they
// stood between `call 10` and `end`.
inline std::vector<session::ScriptAction> Actions(const std::string& lines) {
  session::SessionScript script;
  session::ScriptError error;
  const bool parsed = session::ParseSessionScript("call 10\n" + lines + "\nend\n", script, error);
  EXPECT_TRUE(parsed) << "line " << error.line << ": " << error.message;
  return parsed ? script.steps[0].actions : std::vector<session::ScriptAction>{};
}

class HeadlessSession {
 public:
  explicit HeadlessSession(ui::TemplateLookup templates = res::FindDialogTemplate)
      : backend([this](const std::string& line) { log.push_back(line); }, std::move(templates)),
        scope(backend.Services()) {}

  // Queues the user's actions for the next dialog.
  void Play(const std::string& lines) { backend.BeginActions(Actions(lines), 999); }

  std::vector<std::string> log;
  session::HeadlessBackend backend;
  ui::ServicesScope scope;
};

}  // namespace dz::test
