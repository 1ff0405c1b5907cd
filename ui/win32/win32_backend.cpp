#include "ui/win32/win32_backend.h"

#include <commdlg.h>

#include "ui/win32/win32_text.h"

namespace dz::ui::win32 {

const char kPathNotUsableMessage[] = "所选文件的路径含有本程序不能使用的字符，请另选一个文件。";

struct Win32Backend::ModalRun {
  // Leaves the backend's list of open dialogs and unbinds the dialog's
  // controls however the modal run ends.
  ~ModalRun() {
    if (backend && !backend->open_.empty() && backend->open_.back() == this) backend->open_.pop_back();
    if (dialog) dialog->HandleDestroy();
  }

  Win32Backend* backend = nullptr;
  Dialog* dialog = nullptr;
  int templateId = 0;
  std::unique_ptr<Win32DialogWindow> window;
  // An exception from the dialog's code, carried past the dialog procedure
  // and thrown again once the modal loop has returned.
  std::exception_ptr failure;

  INT_PTR handle(HWND hwnd, UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG:
        window = std::make_unique<Win32DialogWindow>(hwnd, templateId, backend->resources_);
        backend->open_.push_back(this);
        return dialog->HandleInitDialog(*window) ? TRUE : FALSE;
      case WM_COMMAND:
        dialog->HandleCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case WM_CLOSE:
        dialog->HandleClose();
        return TRUE;
      default:
        return FALSE;
    }
  }
};

namespace {

// "text|pattern|...||" as the common dialog wants it: parts ended by zeros,
// the list by a second zero.
std::wstring filterList(const std::string& filter) {
  std::wstring list = Widen(filter);
  for (wchar_t& c : list)
    if (c == L'|') c = L'\0';
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace

Win32Backend::Win32Backend(HINSTANCE resources, std::wstring messageCaption)
    : resources_(resources), messageCaption_(std::move(messageCaption)) {
  services_.dialogs = this;
  services_.messages = this;
  services_.files = this;
}

Win32Backend::~Win32Backend() = default;

HWND Win32Backend::ownerFor(int templateId) const {
  for (auto it = open_.rbegin(); it != open_.rend(); ++it)
    if (templateId == 0 || (*it)->templateId == templateId) return (*it)->window->Handle();
  return GetActiveWindow();
}

INT_PTR CALLBACK Win32Backend::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ModalRun* run = message == WM_INITDIALOG ? reinterpret_cast<ModalRun*>(lParam)
                                           : reinterpret_cast<ModalRun*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(run));
  if (!run || run->failure) return FALSE;
  // Nothing may unwind through the dialog manager: a failure ends the dialog
  // and is thrown again on the far side of the modal loop.
  try {
    return run->handle(hwnd, message, wParam);
  } catch (...) {
    run->failure = std::current_exception();
    ::EndDialog(hwnd, -1);
    return TRUE;
  }
}

int Win32Backend::RunModal(int templateId, Dialog& dialog) {
  ModalRun run;
  run.backend = this;
  run.dialog = &dialog;
  run.templateId = templateId;
  HWND owner = nullptr;
  if (dialog.Parent())
    if (auto* parent = dynamic_cast<Win32DialogWindow*>(dialog.Parent()->Window())) owner = parent->Handle();
  if (!owner) owner = ownerFor(0);
  const INT_PTR result = DialogBoxParamW(resources_, MAKEINTRESOURCEW(templateId), owner,
                                         &Win32Backend::DialogProc, reinterpret_cast<LPARAM>(&run));
  if (run.failure) std::rethrow_exception(run.failure);
  return static_cast<int>(result);
}

int Win32Backend::ShowMessage(const std::string& text, unsigned type) {
  // The classic framework's message boxes carry an icon that fits the
  // buttons when the caller gives none.
  UINT style = type;
  if ((type & MB_ICONMASK) == 0) style |= (type & MB_TYPEMASK) == MB_YESNO ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
  const int answer = MessageBoxW(ownerFor(0), Widen(text).c_str(), messageCaption_.c_str(), style);
  // A box that could not be shown was not answered: the safe answer.
  if (answer == 0) return type == kMbYesNo ? kIdNo : kIdOk;
  return answer;
}

int Win32Backend::ShowFileDialog(const FileDialogRequest& request, std::string& path) {
  const std::wstring filter = filterList(request.filter);
  const std::wstring defaultExt = Widen(request.defaultExt);
  std::wstring file = Widen(request.fileName);
  file.resize(32768, L'\0');

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = ownerFor(request.ownerTemplateId);
  ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = &file[0];
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  // The host's current directory is the host's: a chosen file's folder does
  // not become it, so relative paths mean the same before and after.
  ofn.Flags = request.flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
  const BOOL chosen = request.open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!chosen) return kIdCancel;
  file.resize(wcslen(file.c_str()));
  std::string gbk;
  if (!PathToGbk(file, gbk)) {
    ShowMessage(kPathNotUsableMessage, kMbOk);
    return kIdCancel;
  }
  path = gbk;
  return kIdOk;
}

}  // namespace dz::ui::win32
