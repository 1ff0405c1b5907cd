// The user's side of qelhost, on a thread of its own: plays a session script
// against the plug-in's real windows while the user-interface thread runs
// the commands. After every action it waits until the user-interface thread
// has handled it and waits for the user again, so the log comes out in the
// same order on every run.
//
// What it does to the windows is what a user's input does to them: typing
// selects an edit's whole text and replaces it (in a combo box, its edit's),
// as keys do; a push button's click is its BN_CLICKED, posted; a check box
// or radio button is clicked with BM_CLICK, so an automatic one toggles as
// under the mouse; choosing in a list sets the selection and posts the
// selection-change notification; the close command is SC_CLOSE. File dialogs get the full path
// in their file-name box and OK; message boxes get the button of the answer.
// Before each action it asks the refusals of session/refusals.h, as the
// headless backend does, so that a script that does not fit stops alike.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "qelhost/host_side.h"
#include "qelhost/modal_watch.h"
#include "qelhost/session_output.h"
#include "session/refusals.h"
#include "session/session_script.h"
#include "ui/win32/win32_dialog_window.h"

namespace dz::qelhost {

struct PlayerOptions {
  std::string scriptName;  // for messages: "SCRIPT:LINE: why"
  std::wstring shotDir;    // where to keep a picture of each dialog; empty: none
};

class ScriptPlayer {
 public:
  ScriptPlayer(const session::SessionScript& script, PlayerOptions options, HostSide& host, ModalWatch& watch,
               SessionOutput& output, DWORD uiThread, const StandinExtras& extras);

  // Plays the whole script and asks the host to quit with the exit code.
  // Ends the process itself (exit 2) when the script does not fit what
  // happens while a window is still open.
  void Play();

 private:
  struct Window {
    ModalEntry entry;
    HWND hwnd = nullptr;
  };

  int playCall(const session::ScriptStep& step);
  // Waits until the user-interface thread is idle again, then for the window
  // of the innermost open entry to show; false when the command has returned.
  bool awaitUser(Window& window);
  HWND findWindow(const ModalEntry& entry) const;
  // Ends the session (exit 2) when `action` is refused; a null `action`
  // stands for the call's `end` at `endLine`.
  void check(const session::ScriptAction* action, int endLine, const session::UserFacing& facing);
  void answerMessageBox(const Window& box, const session::ScriptAction* action);
  void answerFileDialog(const Window& dialog, const ui::FileDialogRequest& request,
                        const session::ScriptAction& action);
  // Does what the user does; the action was not refused.
  void act(const Window& dialog, ui::win32::Win32DialogWindow& window, const session::ScriptAction& action);
  void settle();
  // A script's path as Windows names it in full.
  std::wstring fullPath(const std::wstring& path) const;
  [[noreturn]] void mismatch(int line, const std::string& message);
  void finish(int exitCode, int line, const std::string& message);

  const session::SessionScript& script_;
  PlayerOptions options_;
  HostSide& host_;
  ModalWatch& watch_;
  SessionOutput& output_;
  DWORD uiThread_;
  StandinExtras extras_;
  std::set<int> shot_;
  std::wstring startDir_;
};

}  // namespace dz::qelhost
