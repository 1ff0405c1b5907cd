#include "session/headless_backend.h"

#include "base/file_io.h"
#include "session/session_log.h"
#include "ui/path_text.h"

namespace dz::session {
namespace {

class PopOnExit {
 public:
  PopOnExit(std::vector<ui::HeadlessWindow*>& open, ui::Dialog& dialog) : open_(open), dialog_(dialog) {}
  ~PopOnExit() {
    dialog_.HandleDestroy();
    open_.pop_back();
  }

 private:
  std::vector<ui::HeadlessWindow*>& open_;
  ui::Dialog& dialog_;
};

// What is at a path (the platform's form), as a file dialog finds it.
UserFacing::Found findPath(const std::string& path) {
  switch (examinePath(path).kind) {
    case PathKind::Missing: return UserFacing::Found::Nothing;
    case PathKind::Directory: return UserFacing::Found::Folder;
    default: return UserFacing::Found::File;
  }
}

}  // namespace

HeadlessBackend::HeadlessBackend(LogSink log, ui::TemplateLookup templates)
    : log_(std::move(log)), templates_(std::move(templates)) {
  services_.dialogs = this;
  services_.messages = this;
  services_.files = this;
}

void HeadlessBackend::BeginActions(std::vector<ScriptAction> actions, int endLine) {
  actions_ = std::move(actions);
  next_ = 0;
  endLine_ = endLine;
}

bool HeadlessBackend::FinishActions() {
  if (failed_) return false;
  const std::string refused = Refusal(next(), UserFacing::AfterReturn());
  if (refused.empty()) return true;
  failed_ = true;
  failure_ = {next()->line, refused};
  return false;
}

const ScriptAction* HeadlessBackend::nextFor(const UserFacing& facing) {
  ScriptAction action;
  if (!next() && source_ && source_(facing, action)) actions_.push_back(std::move(action));
  return next();
}

void HeadlessBackend::check(const ScriptAction* action, const UserFacing& facing) {
  const std::string refused = Refusal(action, facing);
  if (!refused.empty()) fail(action ? action->line : endLine_, refused);
}

void HeadlessBackend::fail(int line, const std::string& message) {
  if (!failed_) {
    failed_ = true;
    failure_ = {line, message};
  }
  throw ScriptMismatch{failure_};
}

void HeadlessBackend::log(const std::string& line) const {
  if (log_) log_(line);
}

int HeadlessBackend::RunModal(int templateId, ui::Dialog& dialog) {
  if (failed_) throw ScriptMismatch{failure_};
  const ui::DialogTemplate* t = templates_ ? templates_(templateId) : nullptr;
  if (!t) return -1;
  ui::HeadlessWindow window(*t);
  window.SetNotify([&dialog](int id, int code) { dialog.HandleCommand(id, code); });
  open_.push_back(&window);
  log(LogDialogOpened(templateId));
  {
    PopOnExit pop(open_, dialog);
    if (dialog.HandleInitDialog(window)) window.FocusFirstTabStop();
    while (!window.Ended()) {
      const UserFacing facing = UserFacing::InDialog(window);
      check(nextFor(facing), facing);
      const ScriptAction action = actions_[next_++];
      apply(action, window, dialog);
      if (observer_) observer_(action, window, dialog);
    }
  }
  log(LogDialogClosed(templateId, window.Result()));
  return window.Result();
}

void HeadlessBackend::apply(const ScriptAction& a, ui::HeadlessWindow& window, ui::Dialog& dialog) {
  switch (a.kind) {
    case ScriptAction::Kind::Type: window.Type(a.id, a.text); break;
    case ScriptAction::Kind::Click: window.Click(a.id); break;
    case ScriptAction::Kind::Check: window.Check(a.id, a.on); break;
    case ScriptAction::Kind::Select: window.Select(a.id, a.index); break;
    case ScriptAction::Kind::Show: log(LogControl(names_.AsScriptWrote(ReadControlState(window, a.id)))); break;
    case ScriptAction::Kind::Close: dialog.HandleClose(); break;
    default: break;  // refused while a dialog is up
  }
}

int HeadlessBackend::ShowMessage(const std::string& text, unsigned type) {
  if (failed_) throw ScriptMismatch{failure_};
  messages_.push_back(text);
  const bool question = type == ui::kMbYesNo;
  int answer = question ? ui::kIdYes : ui::kIdOk;
  const UserFacing facing = UserFacing::AtMessageBox(text, question);
  check(nextFor(facing), facing);
  if (next() && next()->kind == ScriptAction::Kind::Answer) answer = actions_[next_++].answer;
  log(LogMessageBox(names_.AsScriptWrote(text), answer));
  return answer;
}

int HeadlessBackend::ShowFileDialog(const ui::FileDialogRequest& request, std::string& path) {
  if (failed_) throw ScriptMismatch{failure_};
  fileRequests_.push_back(request);
  const UserFacing facing = UserFacing::AtFileDialog(request, &findPath);
  check(nextFor(facing), facing);
  const ScriptAction& a = actions_[next_++];
  if (a.kind == ScriptAction::Kind::FileCancel) return ui::kIdCancel;
  // The full path, as the real file dialog hands it back.
  path = FullPathOf(a.text);
  names_.Add(ui::PathToText(path), ui::PathToText(a.text));
  return ui::kIdOk;
}

}  // namespace dz::session
