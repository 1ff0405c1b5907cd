#include "ui/headless/headless_backend.h"

#include "base/file_io.h"
#include "base/gbk.h"
#include "ui/session_log.h"

namespace dz::ui {
namespace {

class PopOnExit {
 public:
  PopOnExit(std::vector<HeadlessWindow*>& open, Dialog& dialog) : open_(open), dialog_(dialog) {}
  ~PopOnExit() {
    dialog_.HandleDestroy();
    open_.pop_back();
  }

 private:
  std::vector<HeadlessWindow*>& open_;
  Dialog& dialog_;
};

std::string fileDialogText(const FileDialogRequest& r) {
  return std::string(r.open ? "open" : "save") + " file dialog " + dz::gbkToUtf8(r.filter);
}

}  // namespace

HeadlessBackend::HeadlessBackend(LogSink log, TemplateLookup templates)
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
  if (next_ >= actions_.size()) return true;
  const ScriptAction& a = actions_[next_];
  std::string what = "no dialog is open";
  if (a.kind == ScriptAction::Kind::Answer) what = "no message box is open";
  if (a.kind == ScriptAction::Kind::File || a.kind == ScriptAction::Kind::FileCancel) what = "no file dialog is open";
  failed_ = true;
  failure_ = {a.line, what + ": the command has returned"};
  return false;
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

int HeadlessBackend::RunModal(int templateId, Dialog& dialog) {
  if (failed_) throw ScriptMismatch{failure_};
  const DialogTemplate* t = templates_ ? templates_(templateId) : nullptr;
  if (!t) return -1;
  HeadlessWindow window(*t);
  window.SetNotify([&dialog](int id, int code) { dialog.HandleCommand(id, code); });
  open_.push_back(&window);
  log(LogDialogOpened(templateId));
  {
    PopOnExit pop(open_, dialog);
    if (dialog.HandleInitDialog(window)) window.FocusFirstTabStop();
    while (!window.Ended()) {
      if (next_ >= actions_.size())
        fail(endLine_, "the script ends while dialog " + std::to_string(templateId) + " is open");
      const ScriptAction action = actions_[next_++];
      apply(action, window, dialog);
      if (observer_) observer_(action, window, dialog);
    }
  }
  log(LogDialogClosed(templateId, window.Result()));
  return window.Result();
}

void HeadlessBackend::apply(const ScriptAction& a, HeadlessWindow& window, Dialog& dialog) {
  std::string refused;
  switch (a.kind) {
    case ScriptAction::Kind::Type: refused = window.Type(a.id, a.text); break;
    case ScriptAction::Kind::Click: refused = window.Click(a.id); break;
    case ScriptAction::Kind::Check: refused = window.Check(a.id, a.on); break;
    case ScriptAction::Kind::Select: refused = window.Select(a.id, a.index); break;
    case ScriptAction::Kind::Show:
      if (!window.HasItem(a.id))
        refused = "control " + std::to_string(a.id) + " of dialog " + std::to_string(window.TemplateId()) + " does not exist";
      else log(LogControl(ReadControlState(window, a.id)));
      break;
    case ScriptAction::Kind::Close: dialog.HandleClose(); break;
    case ScriptAction::Kind::File:
    case ScriptAction::Kind::FileCancel:
      refused = "no file dialog is open: dialog " + std::to_string(window.TemplateId()) + " waits for the user";
      break;
    case ScriptAction::Kind::Answer:
      refused = "no message box is open: dialog " + std::to_string(window.TemplateId()) + " waits for the user";
      break;
  }
  if (!refused.empty()) fail(a.line, refused);
}

int HeadlessBackend::ShowMessage(const std::string& text, unsigned type) {
  if (failed_) throw ScriptMismatch{failure_};
  messages_.push_back(text);
  const bool question = type == kMbYesNo;
  int answer = question ? kIdYes : kIdOk;
  if (next_ < actions_.size() && actions_[next_].kind == ScriptAction::Kind::Answer) {
    const ScriptAction& a = actions_[next_++];
    if (question && a.answer == kIdOk) fail(a.line, "the message box asks yes or no: " + dz::gbkToUtf8(text));
    if (!question && a.answer != kIdOk) fail(a.line, "the message box has only OK: " + dz::gbkToUtf8(text));
    answer = a.answer;
  }
  log(LogMessageBox(text, answer));
  return answer;
}

int HeadlessBackend::ShowFileDialog(const FileDialogRequest& request, std::string& path) {
  if (failed_) throw ScriptMismatch{failure_};
  fileRequests_.push_back(request);
  if (next_ >= actions_.size()) fail(endLine_, "the script ends while the " + fileDialogText(request) + " is open");
  const ScriptAction& a = actions_[next_];
  if (a.kind != ScriptAction::Kind::File && a.kind != ScriptAction::Kind::FileCancel)
    fail(a.line, "the " + fileDialogText(request) + " is open: answer it with file \"PATH\" or file-cancel");
  ++next_;
  if (a.kind == ScriptAction::Kind::FileCancel) return kIdCancel;
  // The open dialog takes only an existing file when asked to.
  if (request.open && (request.flags & kOfnFileMustExist) && !dz::fileExists(a.text))
    fail(a.line, "the " + fileDialogText(request) + " takes only existing files, and " + a.utf8 + " does not exist");
  path = a.text;
  return kIdOk;
}

}  // namespace dz::ui
