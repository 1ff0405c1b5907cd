// The Windows backend of the dialog layer: real modal dialogs from the
// templates in the plug-in's resources, real message boxes and the common
// file dialogs. Every text crosses to Windows as UTF-16 converted from GBK by
// our own table, so the Chinese shows right whatever the machine's ANSI code
// page.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog.h"
#include "ui/ui_services.h"
#include "ui/win32/win32_dialog_window.h"

namespace dz::ui::win32 {

// Shown when the user chose a path that this system cannot name (a
// character GBK lacks and no short form): the choice counts as cancelled.
extern const char kPathNotUsableMessage[];

class Win32Backend : public DialogRunner, public MessageService, public FileDialogService {
 public:
  // `resources`: the module whose dialog templates and list data are used;
  // `messageCaption`: the title of the message boxes.
  Win32Backend(HINSTANCE resources, std::wstring messageCaption);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  UiServices* Services() { return &services_; }

  int RunModal(int templateId, Dialog& dialog) override;
  int ShowMessage(const std::string& text, unsigned type = kMbOk) override;
  int ShowFileDialog(const FileDialogRequest& request, std::string& path) override;

 private:
  struct ModalRun;
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The window that owns a new dialog, message box or file dialog: the
  // innermost open dialog of `templateId` (0: the innermost of any), else the
  // thread's active window, as the classic framework chooses an owner.
  HWND ownerFor(int templateId) const;

  HINSTANCE resources_;
  std::wstring messageCaption_;
  UiServices services_;
  std::vector<ModalRun*> open_;
};

}  // namespace dz::ui::win32
