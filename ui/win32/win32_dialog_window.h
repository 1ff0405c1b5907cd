// A real dialog's controls behind the DialogWindow calls: each call is the
// window message it names, sent with the wide (W) messages and texts
// converted from and to GBK by our own table. Works from any thread of the
// process: a call from another thread is a cross-thread SendMessage, which
// the dialog's thread answers while it waits for the user.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "ui/dialog_window.h"

namespace dz::ui::win32 {

class Win32DialogWindow : public DialogWindow {
 public:
  // `resources` is the module whose RT_DLGINIT data ExecuteDlgInit reads
  // (null: none).
  Win32DialogWindow(HWND dialog, int templateId, HINSTANCE resources = nullptr);

  HWND Handle() const { return dialog_; }
  // The control's window; null when the dialog has none of that id.
  HWND Item(int id) const;

  int TemplateId() const override { return templateId_; }
  bool HasItem(int id) const override { return Item(id) != nullptr; }
  ControlClass ItemClass(int id) const override;
  uint32_t ItemStyle(int id) const override;
  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) const override;
  void CheckButton(int id, int state) override;
  int IsButtonChecked(int id) const override;
  void EnableItem(int id, bool enable) override;
  bool IsItemEnabled(int id) const override;
  void SetFocusItem(int id) override;
  void SetReadOnly(int id, bool readOnly) override;
  bool IsReadOnly(int id) const override;
  void SelectAllText(int id) override;
  int AddString(int id, const std::string& text) override;
  void ResetContent(int id) override;
  int GetCount(int id) const override;
  int GetCurSel(int id) const override;
  int SetCurSel(int id, int index) override;
  bool GetItemString(int id, int index, std::string& text) const override;
  void InitStorage(int id, int count, size_t bytes) override;
  void SetRedraw(int id, bool redraw) override;
  std::vector<int> RadioGroup(int firstId) const override;
  bool ExecuteDlgInit() override;
  void EndDialog(int result) override;

 private:
  LRESULT send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  bool isListBox(int id) const { return ItemClass(id) == ControlClass::ListBox; }

  struct Control {
    HWND window;
    ControlClass cls;
  };
  // The control of an id, looked up once: GetDlgItem and GetClassName cost a
  // round trip to the window server under Wine, which made filling and
  // reading a list of 100,000 lines take tens of seconds. A dialog's
  // controls live as long as the dialog, and each thread has its own object.
  const Control* control(int id) const;

  HWND dialog_;
  int templateId_;
  HINSTANCE resources_;
  mutable std::unordered_map<int, Control> controls_;
};

// The class of a control window, as the templates name it.
ControlClass ClassOfWindow(HWND control);
// A window's text (WM_GETTEXT), and the same in GBK.
std::wstring WindowText(HWND window);
std::string WindowTextGbk(HWND window);

}  // namespace dz::ui::win32
