#include "session/refusals.h"

#include "base/gbk.h"
#include "ui/message_service.h"

namespace dz::session {
namespace {

using Action = ScriptAction::Kind;

std::string inDialog(const ScriptAction& a, const ui::DialogWindow& w) {
  const std::string dialog = "dialog " + std::to_string(w.TemplateId());
  switch (a.kind) {
    case Action::Close: return std::string();
    case Action::File:
    case Action::FileCancel: return "no file dialog is open: " + dialog + " waits for the user";
    case Action::Answer: return "no message box is open: " + dialog + " waits for the user";
    default: break;
  }
  const std::string control = "control " + std::to_string(a.id) + " of " + dialog;
  if (!w.HasItem(a.id)) return control + " does not exist";
  const ui::ControlClass cls = w.ItemClass(a.id);
  const uint32_t style = w.ItemStyle(a.id);
  const bool enabled = w.IsItemEnabled(a.id);
  switch (a.kind) {
    case Action::Type: {
      const bool editableCombo =
          cls == ui::ControlClass::ComboBox && (style & ui::kCbsTypeMask) != ui::kCbsDropDownList;
      if (cls != ui::ControlClass::Edit && !editableCombo) return control + " is not an edit box";
      if (!enabled) return control + " is disabled";
      if (cls == ui::ControlClass::Edit && w.IsReadOnly(a.id)) return control + " is read-only";
      return std::string();
    }
    case Action::Check:
      if (cls != ui::ControlClass::Button || !ui::IsCheckBoxStyle(style)) return control + " is not a check box";
      // A box already as asked is not clicked, so nothing can stop it.
      if ((w.IsButtonChecked(a.id) != ui::kBstUnchecked) == a.on) return std::string();
      [[fallthrough]];
    case Action::Click:
      if (cls != ui::ControlClass::Button || (style & ui::kBsTypeMask) == ui::kBsGroupBox)
        return control + " is not a button";
      if (!enabled) return control + " is disabled";
      return std::string();
    case Action::Select: {
      if (cls != ui::ControlClass::ComboBox && cls != ui::ControlClass::ListBox)
        return control + " is not a combo or list box";
      if (!enabled) return control + " is disabled";
      const int count = w.GetCount(a.id);
      if (a.index < 0 || a.index >= count)
        return control + " has " + std::to_string(count) + " items; there is no item " + std::to_string(a.index);
      return std::string();
    }
    default: return std::string();  // show
  }
}

std::string atMessageBox(const ScriptAction* a, const UserFacing& f) {
  if (!a || a->kind != Action::Answer) return std::string();
  if (f.question && a->answer == ui::kIdOk) return "the message box asks yes or no: " + gbkToUtf8(f.messageText);
  if (!f.question && a->answer != ui::kIdOk) return "the message box has only OK: " + gbkToUtf8(f.messageText);
  return std::string();
}

// Why a file name is none Windows gives a file, or empty: its characters
// are those the file dialog refuses (* and ? it takes as a filter), and it
// does not end in a dot or a space, which Windows drops.
std::string unfitName(const std::string& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '*' || c == '?') return "* and ? make it a filter, not a file";
    const bool driveColon = c == ':' && i == 1;
    if (c == '<' || c == '>' || c == '|' || c == '"' || (c == ':' && !driveColon))
      return "a file name cannot hold < > | \" or :";
  }
  const size_t name = path.find_last_of("/\\");
  const std::string last = path.substr(name == std::string::npos ? 0 : name + 1);
  if (last.empty()) return "a path that ends in a separator names a folder";
  if (last != "." && last != ".." && (last.back() == '.' || last.back() == ' '))
    return "a file name cannot end in a dot or a space";
  return std::string();
}

std::string atFileDialog(const ScriptAction* a, const UserFacing& f) {
  const ui::FileDialogRequest& r = *f.fileDialog;
  const std::string name = "the " + FileDialogName(r);
  if (!a) return "the script ends while " + name + " is open";
  if (a->kind != Action::File && a->kind != Action::FileCancel)
    return name + " is open: answer it with file \"PATH\" or file-cancel";
  if (a->kind != Action::File) return std::string();
  const std::string unfit = unfitName(a->utf8);
  if (!unfit.empty()) return name + " does not take " + a->utf8 + ": " + unfit;
  const UserFacing::Found found = f.findPath(a->text);
  if (found == UserFacing::Found::Folder) return name + " does not take " + a->utf8 + ": it is a folder, which it opens";
  if (found == UserFacing::Found::Nothing && r.open && (r.flags & ui::kOfnFileMustExist))
    return name + " takes only existing files, and " + a->utf8 + " does not exist";
  return std::string();
}

std::string afterReturn(const ScriptAction* a) {
  if (!a) return std::string();
  std::string what = "no dialog is open";
  if (a->kind == Action::Answer) what = "no message box is open";
  if (a->kind == Action::File || a->kind == Action::FileCancel) what = "no file dialog is open";
  return what + ": the command has returned";
}

}  // namespace

UserFacing UserFacing::InDialog(const ui::DialogWindow& dialog) {
  UserFacing f;
  f.kind = Kind::Dialog;
  f.dialog = &dialog;
  return f;
}

UserFacing UserFacing::AtMessageBox(const std::string& text, bool question) {
  UserFacing f;
  f.kind = Kind::MessageBox;
  f.messageText = text;
  f.question = question;
  return f;
}

UserFacing UserFacing::AtFileDialog(const ui::FileDialogRequest& request, FindPath find) {
  UserFacing f;
  f.kind = Kind::FileDialog;
  f.fileDialog = &request;
  f.findPath = std::move(find);
  return f;
}

UserFacing UserFacing::AfterReturn() { return UserFacing(); }

std::string Refusal(const ScriptAction* action, const UserFacing& facing) {
  switch (facing.kind) {
    case UserFacing::Kind::Dialog:
      if (!action) return "the script ends while dialog " + std::to_string(facing.dialog->TemplateId()) + " is open";
      return inDialog(*action, *facing.dialog);
    case UserFacing::Kind::MessageBox: return atMessageBox(action, facing);
    case UserFacing::Kind::FileDialog: return atFileDialog(action, facing);
    case UserFacing::Kind::Nothing: return afterReturn(action);
  }
  return std::string();
}

std::string FileDialogName(const ui::FileDialogRequest& request) {
  return std::string(request.open ? "open" : "save") + " file dialog " + gbkToUtf8(request.filter);
}

}  // namespace dz::session
