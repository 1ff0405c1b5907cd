// The user's side of `dobrenz run`: modal dialogs, message boxes and file
// dialogs on headless windows (ui/headless), played from a script of the
// user's actions instead of a screen. A file dialog hands back the full path
// of the file the script names, as the real one does; the log names it as
// the script did (script_paths.h). The backend is handed the templates
// its dialogs are built from. What the user cannot do (refusals.h) stops
// the session: the backend notes the line and why, and throws
// ScriptMismatch, which the player catches above the command.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session/refusals.h"
#include "session/script_paths.h"
#include "session/session_script.h"
#include "ui/dialog.h"
#include "ui/dialog_template.h"
#include "ui/headless/headless_window.h"
#include "ui/ui_services.h"

namespace dz::session {

struct ScriptMismatch {
  ScriptError error;
};

class HeadlessBackend : public ui::DialogRunner, public ui::MessageService, public ui::FileDialogService {
 public:
  // One log line (UTF-8, without its line end); see session_log.h.
  using LogSink = std::function<void(const std::string& line)>;
  // Called after each action a dialog took, for tests that look inside.
  using Observer = std::function<void(const ScriptAction& action, ui::HeadlessWindow& window, ui::Dialog& dialog)>;
  // Asked for the user's next action when the call's actions have run out
  // while a dialog, a message box or a file dialog waits: true with `action`
  // to play it, false to let the script end there. The session generator
  // plays the user this way, choosing from what it sees.
  using ActionSource = std::function<bool(const UserFacing& facing, ScriptAction& action)>;

  HeadlessBackend(LogSink log, ui::TemplateLookup templates);

  ui::UiServices* Services() { return &services_; }
  void SetObserver(Observer observer) { observer_ = std::move(observer); }
  void SetActionSource(ActionSource source) { source_ = std::move(source); }

  // The user's actions for the next command call; `endLine` is the line
  // that ends them (where a dialog still open at their end is reported).
  void BeginActions(std::vector<ScriptAction> actions, int endLine);
  // After the command returned: an action nobody took is a mismatch. False
  // (with Failure() set) then.
  bool FinishActions();

  bool Failed() const { return failed_; }
  const ScriptError& Failure() const { return failure_; }

  // What the session showed, for tests: message texts (GBK) and file dialog
  // requests, in order.
  const std::vector<std::string>& Messages() const { return messages_; }
  const std::vector<ui::FileDialogRequest>& FileRequests() const { return fileRequests_; }
  // The innermost open dialog's controls; null when none is open.
  ui::HeadlessWindow* ActiveWindow() const { return open_.empty() ? nullptr : open_.back(); }

  int RunModal(int templateId, ui::Dialog& dialog) override;
  // Unanswered boxes take OK, or Yes.
  int ShowMessage(const std::string& text, unsigned type = ui::kMbOk) override;
  int ShowFileDialog(const ui::FileDialogRequest& request, std::string& path) override;

 private:
  // The next action, null when they have run out.
  const ScriptAction* next() const { return next_ < actions_.size() ? &actions_[next_] : nullptr; }
  // The next action for what the user faces, asking the source when the
  // script's have run out.
  const ScriptAction* nextFor(const UserFacing& facing);
  // Throws ScriptMismatch when `action` is refused.
  void check(const ScriptAction* action, const UserFacing& facing);
  [[noreturn]] void fail(int line, const std::string& message);
  void log(const std::string& line) const;
  void apply(const ScriptAction& action, ui::HeadlessWindow& window, ui::Dialog& dialog);

  LogSink log_;
  ui::TemplateLookup templates_;
  Observer observer_;
  ActionSource source_;
  ui::UiServices services_;
  std::vector<ScriptAction> actions_;
  size_t next_ = 0;
  int endLine_ = 0;
  bool failed_ = false;
  ScriptError failure_;
  std::vector<ui::HeadlessWindow*> open_;
  std::vector<std::string> messages_;
  std::vector<ui::FileDialogRequest> fileRequests_;
  ScriptPathNames names_;
};

}  // namespace dz::session
