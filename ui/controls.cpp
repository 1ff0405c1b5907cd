#include "ui/controls.h"

#include "ui/dialog.h"

namespace dz::ui {

CWnd::~CWnd() {
  if (owner_) owner_->Unbind(*this);
}

bool CWnd::EnableWindow(bool enable) {
  if (!window_) return false;
  const bool wasDisabled = !window_->IsItemEnabled(id_);
  window_->EnableItem(id_, enable);
  return wasDisabled;
}

bool CWnd::IsWindowEnabled() const { return window_ && window_->IsItemEnabled(id_); }

void CWnd::SetWindowText(const std::string& text) {
  if (window_) window_->SetItemText(id_, text);
}

std::string CWnd::GetWindowText() const { return window_ ? window_->GetItemText(id_) : std::string(); }

void CWnd::SetFocus() {
  if (window_) window_->SetFocusItem(id_);
}

int CButton::GetCheck() const { return window() ? window()->IsButtonChecked(id()) : 0; }

void CButton::SetCheck(int state) {
  if (window()) window()->CheckButton(id(), state);
}

void CEdit::SetReadOnly(bool readOnly) {
  if (window()) window()->SetReadOnly(id(), readOnly);
}

int CComboBox::AddString(const std::string& text) { return window() ? window()->AddString(id(), text) : kCbErr; }

void CComboBox::ResetContent() {
  if (window()) window()->ResetContent(id());
}

int CComboBox::GetCount() const { return window() ? window()->GetCount(id()) : kCbErr; }

int CComboBox::GetCurSel() const { return window() ? window()->GetCurSel(id()) : kCbErr; }

int CComboBox::SetCurSel(int index) { return window() ? window()->SetCurSel(id(), index) : kCbErr; }

bool CComboBox::GetLBText(int index, std::string& text) const {
  return window() && window()->GetItemString(id(), index, text);
}

int CListBox::AddString(const std::string& text) { return window() ? window()->AddString(id(), text) : kCbErr; }

void CListBox::ResetContent() {
  if (window()) window()->ResetContent(id());
}

int CListBox::GetCount() const { return window() ? window()->GetCount(id()) : kCbErr; }

int CListBox::GetCurSel() const { return window() ? window()->GetCurSel(id()) : kCbErr; }

int CListBox::SetCurSel(int index) { return window() ? window()->SetCurSel(id(), index) : kCbErr; }

bool CListBox::GetText(int index, std::string& text) const {
  return window() && window()->GetItemString(id(), index, text);
}

}  // namespace dz::ui
