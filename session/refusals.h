// Whether the user can do what a script says next, and when not, why: the
// one set of rules both players follow, so that a script that does not fit
// stops at the same line with the same words on the headless backend and on
// real windows. A player asks before it acts, and acts only when nothing is
// refused; it reads the controls through ui::DialogWindow, which both
// backends implement.
#pragma once

#include <functional>
#include <string>

#include "session/session_script.h"
#include "ui/dialog_window.h"
#include "ui/ui_services.h"

namespace dz::session {

// What is up when the script's next action comes.
struct UserFacing {
  enum class Kind { Dialog, MessageBox, FileDialog, Nothing };
  // What a file dialog finds at a path the script names.
  enum class Found { Nothing, File, Folder };
  using FindPath = std::function<Found(const std::string& path)>;

  // The innermost open dialog, its controls as they are now.
  static UserFacing InDialog(const ui::DialogWindow& dialog);
  // A message box with its text (GBK); a question has Yes and No, else OK.
  static UserFacing AtMessageBox(const std::string& text, bool question);
  // A file dialog; `find` tells what it finds at a path the script names
  // (the platform's form).
  static UserFacing AtFileDialog(const ui::FileDialogRequest& request, FindPath find);
  // Nothing: the command has returned.
  static UserFacing AfterReturn();

  Kind kind = Kind::Nothing;
  const ui::DialogWindow* dialog = nullptr;
  std::string messageText;
  bool question = false;
  const ui::FileDialogRequest* fileDialog = nullptr;
  FindPath findPath;
};

// Empty when `action` fits what the user faces, else why the script does
// not fit (UTF-8). A null `action` means the call's actions have run out
// (reported at its `end`). A message box takes only an `answer` and lets any
// other action wait for what comes after it: neither is refused. A file
// dialog takes the paths the real one closes on: not a folder (it opens
// it), not a name with * or ? (a filter to it), nor one Windows cannot give
// a file; in an open dialog asked for existing files, only a file it finds.
std::string Refusal(const ScriptAction* action, const UserFacing& facing);

// "open file dialog FILTER" or "save file dialog FILTER", as the refusals
// name a file dialog.
std::string FileDialogName(const ui::FileDialogRequest& request);

}  // namespace dz::session
