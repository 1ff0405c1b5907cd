// The headless backend: modal dialogs, message boxes and file dialogs played
// from a script of the user's actions instead of a screen. The backend is
// handed the templates its dialogs' controls are built from.
// A script that does not fit what happens (an action for a control that does
// not exist, an answer nobody asked for, actions left when the dialog is
// gone, a dialog still open when the actions run out) stops the session:
// the backend notes the line and why, and throws ScriptMismatch, which the
// player catches above the command.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/dialog.h"
#include "ui/dialog_template.h"
#include "ui/headless/headless_window.h"
#include "ui/session_script.h"
#include "ui/ui_services.h"

namespace dz::ui {

struct ScriptMismatch {
  ScriptError error;
};

class HeadlessBackend : public DialogRunner, public MessageService, public FileDialogService {
 public:
  // One log line (UTF-8, without its line end); see session_log.h.
  using LogSink = std::function<void(const std::string& line)>;
  // Called after each action a dialog took, for tests that look inside.
  using Observer = std::function<void(const ScriptAction& action, HeadlessWindow& window, Dialog& dialog)>;

  HeadlessBackend(LogSink log, TemplateLookup templates);

  UiServices* Services() { return &services_; }
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

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
  const std::vector<FileDialogRequest>& FileRequests() const { return fileRequests_; }
  // The innermost open dialog's controls; null when none is open.
  HeadlessWindow* ActiveWindow() const { return open_.empty() ? nullptr : open_.back(); }

  int RunModal(int templateId, Dialog& dialog) override;
  // Unanswered boxes take OK, or Yes.
  int ShowMessage(const std::string& text, unsigned type = kMbOk) override;
  int ShowFileDialog(const FileDialogRequest& request, std::string& path) override;

 private:
  [[noreturn]] void fail(int line, const std::string& message);
  void log(const std::string& line) const;
  void apply(const ScriptAction& action, HeadlessWindow& window, Dialog& dialog);

  LogSink log_;
  TemplateLookup templates_;
  Observer observer_;
  UiServices services_;
  std::vector<ScriptAction> actions_;
  size_t next_ = 0;
  int endLine_ = 0;
  bool failed_ = false;
  ScriptError failure_;
  std::vector<HeadlessWindow*> open_;
  std::vector<std::string> messages_;
  std::vector<FileDialogRequest> fileRequests_;
};

}  // namespace dz::ui
