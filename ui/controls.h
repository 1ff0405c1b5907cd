// Control objects bound to a dialog's controls by DDX_Control, in the manner
// of the classic framework's CWnd, CButton, CEdit, CComboBox and CListBox.
// A handle that is not bound (before the exchange that binds it, or after its
// dialog closed) does nothing and answers as Windows does for a missing
// window: 0, false, or -1 (kCbErr).
#pragma once

#include <string>

#include "ui/dialog_window.h"

namespace dz::ui {

class Dialog;

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  bool IsBound() const { return window_ != nullptr; }
  int GetDlgCtrlID() const { return id_; }

  // Returns true when the control was disabled before, as EnableWindow does.
  bool EnableWindow(bool enable = true);
  bool IsWindowEnabled() const;
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  void SetFocus();
  // WM_SETREDRAW: no repainting while off; repainted when turned back on.
  void SetRedraw(bool redraw = true);

 protected:
  DialogWindow* window() const { return window_; }
  int id() const { return id_; }

 private:
  friend class Dialog;
  Dialog* owner_ = nullptr;
  DialogWindow* window_ = nullptr;
  int id_ = 0;
};

class CButton : public CWnd {
 public:
  int GetCheck() const;          // BM_GETCHECK
  void SetCheck(int state);      // BM_SETCHECK
};

class CEdit : public CWnd {
 public:
  void SetReadOnly(bool readOnly = true);  // EM_SETREADONLY
};

// What combo and list boxes have alike: their list (CB_ and LB_ messages).
class CListControl : public CWnd {
 public:
  int AddString(const std::string& text);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);

 protected:
  bool itemText(int index, std::string& text) const;
};

class CComboBox : public CListControl {
 public:
  bool GetLBText(int index, std::string& text) const { return itemText(index, text); }
};

class CListBox : public CListControl {
 public:
  bool GetText(int index, std::string& text) const { return itemText(index, text); }
  // LB_INITSTORAGE: room for `items` more items of `bytes` text bytes in all.
  void InitStorage(int items, size_t bytes);
};

}  // namespace dz::ui
