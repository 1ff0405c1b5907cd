// The Windows backend's common file dialogs, answered from a second thread
// as a user would: the path the user chooses reaches the system as a GBK
// path that opens the chosen file, whatever characters it has; a choice the
// system cannot name is refused with a message.
// Usage: file_dialog_check.exe WORK_DIR
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "tests/win32/check.h"
#include "ui/win32/win32_backend.h"
#include "ui/win32/win32_text.h"

using dz::wincheck::check;
using dz::ui::win32::Widen;

namespace {

DWORD gUiThread = 0;

struct Find {
  bool fileDialog;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND w, LPARAM data) {
  auto* find = reinterpret_cast<Find*>(data);
  wchar_t name[16] = {};
  GetClassNameW(w, name, 16);
  if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
  const bool fileDialog = GetDlgItem(w, 0x47C) || GetDlgItem(w, 0x480);
  if (fileDialog == find->fileDialog) find->found = w;
  return TRUE;
}

HWND waitFor(bool fileDialog) {
  for (int i = 0; i < 750; ++i) {
    Find find{fileDialog, nullptr};
    EnumThreadWindows(gUiThread, &matchWindow, reinterpret_cast<LPARAM>(&find));
    if (find.found) return find.found;
    Sleep(20);
  }
  return nullptr;
}

// The user's side: the path into the file dialog, then OK; with
// `expectMessage`, the message box that follows gets OK as well and its text
// is kept.
struct User {
  explicit User(std::wstring chosen, bool message = false) : path(std::move(chosen)), expectMessage(message) {}
  std::wstring path;
  bool expectMessage;
  std::wstring message;
};

DWORD WINAPI userThread(LPVOID data) {
  auto* user = static_cast<User*>(data);
  HWND dialog = waitFor(true);
  if (!dialog) return 1;
  HWND name = GetDlgItem(dialog, 0x47C);
  if (!name) name = GetDlgItem(dialog, 0x480);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(user->path.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (!user->expectMessage) return 0;
  HWND box = waitFor(false);
  if (!box) return 1;
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  user->message = text;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return 0;
}

int choose(dz::ui::win32::Win32Backend& backend, bool open, User& user, std::string& path) {
  dz::ui::FileDialogRequest request;
  request.open = open;
  request.flags = dz::ui::kOfnHideReadOnly | dz::ui::kOfnFileMustExist;
  request.filter = open ? "(*.txt)|*.txt||" : "data files(*.qel)|*qel||";
  HANDLE thread = CreateThread(nullptr, 0, &userThread, &user, 0, nullptr);
  const int result = backend.ShowFileDialog(request, path);
  WaitForSingleObject(thread, 20000);
  CloseHandle(thread);
  return result;
}

void writeWide(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: file_dialog_check WORK_DIR\n");
    return 2;
  }
  gUiThread = GetCurrentThreadId();
  const std::wstring dir = argv[1];
  dz::ui::win32::Win32Backend backend(GetModuleHandleW(nullptr), L"file_dialog_check");

  const std::wstring korean = dir + L"\\\uD55C\uAE00.txt";  // 한글.txt
  writeWide(korean, "chosen");
  User openKorean{korean};
  std::string path;
  check(choose(backend, true, openKorean, path) == dz::ui::kIdOk, "the open dialog takes a file with a Korean name");
  std::string bytes;
  check(dz::readWholeFile(path, bytes) && bytes == "chosen", "the path it hands back opens that file");

  const std::wstring koreanDir = dir + L"\\\uD55C";  // 한
  CreateDirectoryW(koreanDir.c_str(), nullptr);
  User saveInKoreanDir{koreanDir + L"\\\u7ED3\u679C.qel"};  // 结果.qel
  check(choose(backend, false, saveInKoreanDir, path) == dz::ui::kIdOk, "the save dialog takes a new file in that folder");
  std::string error;
  check(dz::writeFileAtomically(path, "saved", error), "the path it hands back is written: " + error);
  check(GetFileAttributesW(saveInKoreanDir.path.c_str()) != INVALID_FILE_ATTRIBUTES, "as the chosen file");

  User unusable{koreanDir + L"\\\uC0C8.qel", true};  // 새.qel
  path = "unchanged";
  check(choose(backend, false, unusable, path) == dz::ui::kIdCancel, "a new name GBK cannot hold counts as cancelled");
  check(path == "unchanged", "and hands back no path");
  check(unusable.message == Widen(dz::ui::win32::kPathNotUsableMessage), "after saying why");
  return dz::wincheck::finish("file_dialog_check");
}
