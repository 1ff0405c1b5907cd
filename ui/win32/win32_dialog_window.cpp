#include "ui/win32/win32_dialog_window.h"

#include <cstring>

#include "ui/dialog_template.h"
#include "ui/win32/win32_text.h"

namespace dz::ui::win32 {

ControlClass ClassOfWindow(HWND control) {
  wchar_t name[32] = {};
  GetClassNameW(control, name, 32);
  if (lstrcmpiW(name, L"Button") == 0) return ControlClass::Button;
  if (lstrcmpiW(name, L"Edit") == 0) return ControlClass::Edit;
  if (lstrcmpiW(name, L"ListBox") == 0) return ControlClass::ListBox;
  if (lstrcmpiW(name, L"ComboBox") == 0) return ControlClass::ComboBox;
  return ControlClass::Static;
}

std::wstring WindowText(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT n = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

std::string WindowTextGbk(HWND window) { return Narrow(WindowText(window)); }

Win32DialogWindow::Win32DialogWindow(HWND dialog, int templateId, HINSTANCE resources)
    : dialog_(dialog), templateId_(templateId), resources_(resources) {}

const Win32DialogWindow::Control* Win32DialogWindow::control(int id) const {
  // Labels nobody addresses share one id; they are not items.
  if (id == kStaticId || id < 0 || id > 0xFFFF) return nullptr;
  const auto found = controls_.find(id);
  if (found != controls_.end()) return &found->second;
  HWND window = GetDlgItem(dialog_, id);
  if (!window) return nullptr;
  return &controls_.emplace(id, Control{window, ClassOfWindow(window)}).first->second;
}

HWND Win32DialogWindow::Item(int id) const {
  const Control* c = control(id);
  return c ? c->window : nullptr;
}

LRESULT Win32DialogWindow::send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND control = Item(id);
  return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

ControlClass Win32DialogWindow::ItemClass(int id) const {
  const Control* c = control(id);
  return c ? c->cls : ControlClass::Static;
}

uint32_t Win32DialogWindow::ItemStyle(int id) const {
  HWND control = Item(id);
  return control ? static_cast<uint32_t>(GetWindowLongW(control, GWL_STYLE)) : 0;
}

void Win32DialogWindow::SetItemText(int id, const std::string& text) {
  HWND control = Item(id);
  if (!control) return;
  // A drop-down list shows only its items.
  if (ItemClass(id) == ControlClass::ComboBox &&
      (GetWindowLongW(control, GWL_STYLE) & kCbsTypeMask) == kCbsDropDownList)
    return;
  const std::wstring wide = Widen(text);
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string Win32DialogWindow::GetItemText(int id) const {
  HWND control = Item(id);
  return control ? WindowTextGbk(control) : std::string();
}

void Win32DialogWindow::CheckButton(int id, int state) { send(id, BM_SETCHECK, static_cast<WPARAM>(state < 0 ? 0 : state)); }

int Win32DialogWindow::IsButtonChecked(int id) const { return static_cast<int>(send(id, BM_GETCHECK)); }

void Win32DialogWindow::EnableItem(int id, bool enable) {
  if (HWND control = Item(id)) ::EnableWindow(control, enable ? TRUE : FALSE);
}

bool Win32DialogWindow::IsItemEnabled(int id) const {
  HWND control = Item(id);
  return control && ::IsWindowEnabled(control);
}

void Win32DialogWindow::SetFocusItem(int id) {
  if (HWND control = Item(id)) ::SetFocus(control);
}

void Win32DialogWindow::SetReadOnly(int id, bool readOnly) {
  if (ItemClass(id) == ControlClass::Edit) send(id, EM_SETREADONLY, readOnly ? TRUE : FALSE);
}

bool Win32DialogWindow::IsReadOnly(int id) const {
  return ItemClass(id) == ControlClass::Edit && (ItemStyle(id) & kEsReadOnly) != 0;
}

void Win32DialogWindow::SelectAllText(int id) {
  if (ItemClass(id) == ControlClass::Edit) send(id, EM_SETSEL, 0, -1);
}

int Win32DialogWindow::AddString(int id, const std::string& text) {
  const ControlClass cls = ItemClass(id);
  if (cls != ControlClass::ComboBox && cls != ControlClass::ListBox) return kCbErr;
  const std::wstring wide = Widen(text);
  const LRESULT r = send(id, cls == ControlClass::ComboBox ? CB_ADDSTRING : LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(wide.c_str()));
  return r < 0 ? kCbErr : static_cast<int>(r);
}

void Win32DialogWindow::ResetContent(int id) {
  const ControlClass cls = ItemClass(id);
  if (cls == ControlClass::ComboBox) send(id, CB_RESETCONTENT);
  else if (cls == ControlClass::ListBox) send(id, LB_RESETCONTENT);
}

int Win32DialogWindow::GetCount(int id) const {
  const ControlClass cls = ItemClass(id);
  if (cls == ControlClass::ComboBox) return static_cast<int>(send(id, CB_GETCOUNT));
  if (cls == ControlClass::ListBox) return static_cast<int>(send(id, LB_GETCOUNT));
  return kCbErr;
}

int Win32DialogWindow::GetCurSel(int id) const {
  const ControlClass cls = ItemClass(id);
  if (cls == ControlClass::ComboBox) return static_cast<int>(send(id, CB_GETCURSEL));
  if (cls == ControlClass::ListBox) return static_cast<int>(send(id, LB_GETCURSEL));
  return kCbErr;
}

int Win32DialogWindow::SetCurSel(int id, int index) {
  const ControlClass cls = ItemClass(id);
  if (cls == ControlClass::ComboBox) return static_cast<int>(send(id, CB_SETCURSEL, static_cast<WPARAM>(index)));
  if (cls == ControlClass::ListBox) return static_cast<int>(send(id, LB_SETCURSEL, static_cast<WPARAM>(index)));
  return kCbErr;
}

bool Win32DialogWindow::GetItemString(int id, int index, std::string& text) const {
  const ControlClass cls = ItemClass(id);
  if (cls != ControlClass::ComboBox && cls != ControlClass::ListBox) return false;
  const bool combo = cls == ControlClass::ComboBox;
  const LRESULT length = send(id, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return false;
  std::wstring item(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT n = send(id, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&item[0]));
  if (n < 0) return false;
  item.resize(static_cast<size_t>(n));
  text = Narrow(item);
  return true;
}

void Win32DialogWindow::InitStorage(int id, int count, size_t bytes) {
  // The list keeps its texts in UTF-16: about two bytes for each GBK byte.
  if (isListBox(id) && count > 0) send(id, LB_INITSTORAGE, static_cast<WPARAM>(count), static_cast<LPARAM>(bytes * 2));
}

void Win32DialogWindow::SetRedraw(int id, bool redraw) {
  HWND control = Item(id);
  if (!control) return;
  SendMessageW(control, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) InvalidateRect(control, nullptr, TRUE);
}

std::vector<int> Win32DialogWindow::RadioGroup(int firstId) const {
  std::vector<int> ids;
  HWND first = Item(firstId);
  for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
    const uint32_t style = static_cast<uint32_t>(GetWindowLongW(w, GWL_STYLE));
    if (w != first && (style & WS_GROUP)) break;
    if (ClassOfWindow(w) == ControlClass::Button && IsRadioStyle(style)) ids.push_back(GetDlgCtrlID(w));
  }
  return ids;
}

// The list initialisation data of the template: records of control id,
// message and length with the item's bytes, up to a zero control id. The
// messages are the 16-bit CB_ADDSTRING and LB_ADDSTRING; the items are GBK.
bool Win32DialogWindow::ExecuteDlgInit() {
  if (!resources_) return true;
  HRSRC found = FindResourceW(resources_, MAKEINTRESOURCEW(templateId_), MAKEINTRESOURCEW(kRtDlgInit));
  if (!found) return true;
  HGLOBAL loaded = LoadResource(resources_, found);
  const auto* data = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return false;
  const size_t size = SizeofResource(resources_, found);
  size_t at = 0;
  while (at + 2 <= size) {
    uint16_t control = 0, message = 0;
    uint32_t length = 0;
    std::memcpy(&control, data + at, 2);
    if (control == 0) return true;
    if (at + 8 > size) return false;
    std::memcpy(&message, data + at + 2, 2);
    std::memcpy(&length, data + at + 4, 4);
    at += 8;
    if (length > size - at) return false;
    std::string item(reinterpret_cast<const char*>(data + at), length);
    item.resize(std::strlen(item.c_str()));  // the record carries its terminator
    at += length;
    if (message != kDlgInitComboAddString && message != kDlgInitListAddString) return false;
    if (AddString(control, item) < 0) return false;
  }
  return true;
}

void Win32DialogWindow::EndDialog(int result) { ::EndDialog(dialog_, result); }

}  // namespace dz::ui::win32
