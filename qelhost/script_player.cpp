#include "qelhost/script_player.h"

#include <cstdio>
#include <cstring>

#include "base/file_io.h"
#include "base/gbk.h"
#include "qelhost/dialog_picture.h"
#include "res/dialog_templates.h"
#include "session/refusals.h"
#include "session/session_log.h"
#include "ui/message_service.h"
#include "ui/win32/win32_dialog_window.h"
#include "ui/win32/win32_text.h"

namespace dz::qelhost {
namespace {

using session::ScriptAction;
using session::UserFacing;
using ui::win32::ClassOfWindow;
using ui::win32::Narrow;
using ui::win32::Widen;
using ui::win32::WindowText;
using ui::win32::Win32DialogWindow;

// How long a window may take to appear, and the user-interface thread to
// come back to its message loop.
constexpr DWORD kWindowWaitMs = 15000;
constexpr DWORD kPollMs = 20;

// The controls of Wine's and Windows' explorer-style file dialogs that take
// the file name.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

struct Search {
  const ModalEntry* entry;
  std::wstring caption;
  HWND found;
};

bool isDialogWindow(HWND w) {
  wchar_t name[16] = {};
  GetClassNameW(w, name, 16);
  return lstrcmpW(name, L"#32770") == 0;
}

BOOL CALLBACK matchWindow(HWND w, LPARAM data) {
  auto* s = reinterpret_cast<Search*>(data);
  if (!isDialogWindow(w)) return TRUE;
  const ModalEntry& e = *s->entry;
  bool match = false;
  switch (e.kind) {
    case ModalEntry::Kind::Dialog: match = WindowText(w) == s->caption; break;
    case ModalEntry::Kind::MessageBox: match = WindowText(w) == e.caption && GetWindow(w, GW_OWNER) == e.owner; break;
    case ModalEntry::Kind::FileDialog:
      match = GetWindow(w, GW_OWNER) == e.owner && (GetDlgItem(w, kFileNameCombo) || GetDlgItem(w, kFileNameEdit));
      break;
  }
  if (match) s->found = w;  // the last one found is the newest
  return TRUE;
}

bool isRelative(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return false;
  return path.empty() || (path[0] != L'\\' && path[0] != L'/');
}

// The request behind a file dialog the plug-in opened, as far as the
// refusals read it.
ui::FileDialogRequest fileRequest(const ModalEntry& e) {
  ui::FileDialogRequest r;
  r.open = e.open;
  r.flags = e.flags;
  r.filter = Narrow(e.filter);
  return r;
}

}  // namespace

ScriptPlayer::ScriptPlayer(const session::SessionScript& script, PlayerOptions options, HostSide& host,
                           ModalWatch& watch, SessionOutput& output, DWORD uiThread, const StandinExtras& extras)
    : script_(script), options_(std::move(options)), host_(host), watch_(watch), output_(output),
      uiThread_(uiThread), extras_(extras) {
  wchar_t dir[32768];
  const DWORD n = GetCurrentDirectoryW(32768, dir);
  startDir_ = n > 0 && n < 32768 ? std::wstring(dir, n) : L".";
}

std::wstring ScriptPlayer::fullPath(const std::wstring& path) const {
  const std::wstring from = isRelative(path) ? startDir_ + L"\\" + path : path;
  wchar_t full[32768];
  const DWORD n = GetFullPathNameW(from.c_str(), 32768, full, nullptr);
  return n > 0 && n < 32768 ? std::wstring(full, n) : from;
}

void ScriptPlayer::Play() {
  for (const session::ScriptStep& step : script_.steps) {
    if (step.kind == session::ScriptStep::Kind::Call) {
      const int code = playCall(step);
      if (code != 0) return finish(code, host_.CallResult().line, host_.CallResult().message);
      continue;
    }
    const session::SessionOutcome r = host_.RunStep(step);
    if (r.exitCode != 0) return finish(r.exitCode, r.line, r.message);
  }
  finish(0, 0, "");
}

void ScriptPlayer::finish(int exitCode, int line, const std::string& message) {
  if (exitCode != 0)
    std::fprintf(stderr, "qelhost: %s:%d: %s\n", options_.scriptName.c_str(), line, message.c_str());
  int problems = 0;
  for (const char* p = extras_.takeProblems(); p && *p;) {
    const char* end = std::strchr(p, '\n');
    const std::string problem(p, end ? end : p + std::strlen(p));
    std::fprintf(stderr, "qelhost: error: %s\n", dz::gbkToUtf8(problem).c_str());
    ++problems;
    p = end ? end + 1 : p + problem.size();
  }
  std::fflush(stderr);
  host_.Quit(exitCode != 0 ? exitCode : problems > 0 ? 1 : 0);
}

void ScriptPlayer::mismatch(int line, const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "qelhost: %s:%d: %s\n", options_.scriptName.c_str(), line, message.c_str());
  std::fflush(stderr);
  // The plug-in's windows are still open on the other thread: end here.
  TerminateProcess(GetCurrentProcess(), 2);
  ExitProcess(2);
}

void ScriptPlayer::settle() {
  if (!host_.Settle(kWindowWaitMs)) mismatch(0, "the host's user-interface thread stopped answering");
}

HWND ScriptPlayer::findWindow(const ModalEntry& entry) const {
  Search search{&entry, L"", nullptr};
  if (entry.kind == ModalEntry::Kind::Dialog) {
    const ui::DialogTemplate* t = res::FindDialogTemplate(entry.templateId);
    if (!t) return nullptr;
    search.caption = Widen(t->caption);
  }
  EnumThreadWindows(uiThread_, &matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool ScriptPlayer::awaitUser(Window& window) {
  const DWORD start = GetTickCount();
  for (;;) {
    settle();
    if (host_.CallDone()) return false;
    if (watch_.Top(window.entry)) {
      window.hwnd = findWindow(window.entry);
      if (window.hwnd && IsWindowVisible(window.hwnd)) return true;
    }
    if (GetTickCount() - start > kWindowWaitMs) {
      std::string what = "no window of the plug-in showed";
      if (watch_.Depth() > 0 && window.entry.kind == ModalEntry::Kind::Dialog)
        what = "dialog " + std::to_string(window.entry.templateId) + " did not show";
      mismatch(0, what + " within " + std::to_string(kWindowWaitMs / 1000) + " s");
    }
    Sleep(kPollMs);
  }
}

void ScriptPlayer::check(const ScriptAction* action, int endLine, const UserFacing& facing) {
  const std::string refused = session::Refusal(action, facing);
  if (!refused.empty()) mismatch(action ? action->line : endLine, refused);
}

int ScriptPlayer::playCall(const session::ScriptStep& step) {
  const std::vector<ScriptAction>& actions = step.actions;
  size_t next = 0;
  auto pending = [&]() -> const ScriptAction* { return next < actions.size() ? &actions[next] : nullptr; };
  if (!host_.StartCall(step)) mismatch(step.line, "the host cannot call the command");
  Window window;
  while (awaitUser(window)) {
    switch (window.entry.kind) {
      case ModalEntry::Kind::MessageBox: {
        const ScriptAction* answer = pending() && pending()->kind == ScriptAction::Kind::Answer ? pending() : nullptr;
        if (answer) ++next;
        answerMessageBox(window, answer);
        break;
      }
      case ModalEntry::Kind::FileDialog: {
        const ui::FileDialogRequest request = fileRequest(window.entry);
        check(pending(), step.endLine, UserFacing::AtFileDialog(request, [this](const std::string& path) {
                const DWORD attributes = GetFileAttributesW(fullPath(Widen(path)).c_str());
                if (attributes == INVALID_FILE_ATTRIBUTES) return UserFacing::Found::Nothing;
                return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? UserFacing::Found::Folder : UserFacing::Found::File;
              }));
        answerFileDialog(window, request, actions[next++]);
        break;
      }
      case ModalEntry::Kind::Dialog: {
        if (!options_.shotDir.empty() && shot_.insert(window.entry.templateId).second) {
          const std::wstring base = options_.shotDir + L"\\dialog-" + std::to_wstring(window.entry.templateId);
          if (!SaveDialogPicture(window.hwnd, base + L".bmp", base + L".txt"))
            std::fprintf(stderr, "qelhost: cannot keep a picture of dialog %d\n", window.entry.templateId);
        }
        Win32DialogWindow controls(window.hwnd, window.entry.templateId);
        check(pending(), step.endLine, UserFacing::InDialog(controls));
        act(window, controls, actions[next++]);
        break;
      }
    }
  }
  if (host_.CallResult().exitCode != 0) return host_.CallResult().exitCode;
  check(pending(), step.endLine, UserFacing::AfterReturn());
  return 0;
}

void ScriptPlayer::answerMessageBox(const Window& box, const ScriptAction* action) {
  const bool question = (box.entry.type & MB_TYPEMASK) == MB_YESNO;
  // What the box shows must be what the plug-in asked it to show.
  HWND text = GetDlgItem(box.hwnd, 0xFFFF);
  if (text && WindowText(text) != box.entry.text)
    mismatch(action ? action->line : 0, "the message box shows \"" + dz::gbkToUtf8(Narrow(WindowText(text))) +
                                            "\" instead of \"" + dz::gbkToUtf8(Narrow(box.entry.text)) + "\"");
  check(action, 0, UserFacing::AtMessageBox(Narrow(box.entry.text), question));
  const int answer = action ? action->answer : question ? IDYES : IDOK;
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, answer)));
}

void ScriptPlayer::answerFileDialog(const Window& dialog, const ui::FileDialogRequest& request,
                                    const ScriptAction& action) {
  if (action.kind == ScriptAction::Kind::FileCancel) {
    PostMessageW(dialog.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog.hwnd, IDCANCEL)));
    return;
  }
  // The dialog is given the full path; the log names what it hands back as
  // the script did. A relative path is taken from the folder qelhost
  // started in: the file dialog moves the current directory about while it
  // is open.
  const std::wstring typed = fullPath(Widen(action.text));
  HWND name = GetDlgItem(dialog.hwnd, kFileNameCombo);
  if (!name) name = GetDlgItem(dialog.hwnd, kFileNameEdit);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
  PostMessageW(dialog.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog.hwnd, IDOK)));
  // A file dialog that stays open refused the path (and says why in a box
  // of its own).
  settle();
  ModalEntry top;
  if (watch_.Top(top) && top.serial == dialog.entry.serial)
    mismatch(action.line, "the " + session::FileDialogName(request) + " does not take " + action.utf8);
  const std::wstring chosen = watch_.ChosenPath(dialog.entry.serial);
  if (!chosen.empty()) output_.AddPathName(Narrow(chosen), action.text);
}

void ScriptPlayer::act(const Window& dialog, Win32DialogWindow& window, const ScriptAction& a) {
  HWND item = window.Item(a.id);
  const ui::ControlClass cls = item ? ClassOfWindow(item) : ui::ControlClass::Static;
  const uint32_t style = window.ItemStyle(a.id);
  auto focus = [&] { SendMessageW(dialog.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE); };

  switch (a.kind) {
    case ScriptAction::Kind::Type: {
      focus();
      // A combo box is typed into through its edit. The whole text is
      // selected and replaced, as keys replace it: the edit tells its
      // change, and a combo box's list lets go of its selection (setting
      // the text of a combo box's edit tells nobody).
      HWND target = item;
      if (cls == ui::ControlClass::ComboBox) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(item, &info) && info.hwndItem) target = info.hwndItem;
      }
      const std::wstring text = Widen(a.text);
      SendMessageW(target, EM_SETSEL, 0, -1);
      SendMessageW(target, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
      break;
    }
    case ScriptAction::Kind::Check:
      if ((SendMessageW(item, BM_GETCHECK, 0, 0) != BST_UNCHECKED) == a.on) break;
      [[fallthrough]];
    case ScriptAction::Kind::Click:
      if (ui::IsCheckBoxStyle(style) || ui::IsRadioStyle(style))
        PostMessageW(item, BM_CLICK, 0, 0);
      else
        PostMessageW(dialog.hwnd, WM_COMMAND, MAKEWPARAM(a.id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
      break;
    case ScriptAction::Kind::Select:
      focus();
      window.SetCurSel(a.id, a.index);
      if (cls == ui::ControlClass::ComboBox)
        PostMessageW(dialog.hwnd, WM_COMMAND, MAKEWPARAM(a.id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
      else if (style & ui::kLbsNotify)
        PostMessageW(dialog.hwnd, WM_COMMAND, MAKEWPARAM(a.id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
      break;
    case ScriptAction::Kind::Show:
      output_.Line(session::LogControl(output_.AsScriptWrote(session::ReadControlState(window, a.id))));
      break;
    case ScriptAction::Kind::Close:
      PostMessageW(dialog.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    default:
      break;  // refused while a dialog is up
  }
}

}  // namespace dz::qelhost
