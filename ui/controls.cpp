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

void CWnd::SetRedraw(bool redraw) {
  if (window_) window_->SetRedraw(id_, redraw);
}

int CButton::GetCheck() const { return window() ? window()->IsButtonChecked(id()) : 0; }

void CButton::SetCheck(int state) {
  if (window()) window()->CheckButton(id(), state);
}

void CEdit::SetReadOnly(bool readOnly) {
  if (window()) window()->SetReadOnly(id(), readOnly);
}

int CListControl::AddString(const std::string& text) { return window() ? window()->AddString(id(), text) : kCbErr; }

void CListControl::ResetContent() {
  if (window()) window()->ResetContent(id());
}

int CListControl::GetCount() const { return window() ? window()->GetCount(id()) : kCbErr; }

int CListControl::GetCurSel() const { return window() ? window()->GetCurSel(id()) : kCbErr; }

int CListControl::SetCurSel(int index) { return window() ? window()->SetCurSel(id(), index) : kCbErr; }

void CListBox::InitStorage(int items, size_t bytes) {
  if (window()) window()->InitStorage(id(), items, bytes);
}

bool CListControl::itemText(int index, std::string& text) const {
  return window() && window()->GetItemString(id(), index, text);
}

}  // namespace dz::ui
