// The controls of one open dialog, as the dialog framework reaches them: thin
// typed calls, one per window message the dialogs use. The headless backend
// implements them over its own control objects, the win32 backend over real
// windows; dialog code never talks to a control any other way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/win_constants.h"

namespace dz::ui {

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  virtual int TemplateId() const = 0;

  // True when the dialog has a control of that id.
  virtual bool HasItem(int id) const = 0;
  virtual ControlClass ItemClass(int id) const = 0;
  virtual uint32_t ItemStyle(int id) const = 0;

  // Window text (WM_SETTEXT / WM_GETTEXT), GBK. For a drop-down list the
  // text is the selected item's; a list box has none.
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id) const = 0;

  // Buttons: BM_SETCHECK / BM_GETCHECK. Push buttons have no state.
  virtual void CheckButton(int id, int state) = 0;
  virtual int IsButtonChecked(int id) const = 0;

  // Any control: EnableWindow / IsWindowEnabled, SetFocus.
  virtual void EnableItem(int id, bool enable) = 0;
  virtual bool IsItemEnabled(int id) const = 0;
  virtual void SetFocusItem(int id) = 0;

  // Edits: EM_SETREADONLY, and EM_SETSEL 0, -1 (select the whole text).
  virtual void SetReadOnly(int id, bool readOnly) = 0;
  virtual bool IsReadOnly(int id) const = 0;
  virtual void SelectAllText(int id) = 0;

  // Combo and list boxes: CB_/LB_ADDSTRING (index of the new item, or -1),
  // RESETCONTENT, GETCOUNT, GETCURSEL (-1 when none), SETCURSEL (-1 for an
  // index out of range, which also clears the selection), GETLBTEXT /
  // GETTEXT (false for an index out of range, `text` untouched).
  virtual int AddString(int id, const std::string& text) = 0;
  virtual void ResetContent(int id) = 0;
  virtual int GetCount(int id) const = 0;
  virtual int GetCurSel(int id) const = 0;
  virtual int SetCurSel(int id, int index) = 0;
  virtual bool GetItemString(int id, int index, std::string& text) const = 0;
  // List boxes: LB_INITSTORAGE, room for `count` more items whose texts have
  // `bytes` bytes in all (GBK), so that a long list is filled at once.
  virtual void InitStorage(int id, int count, size_t bytes) = 0;

  // Any control: WM_SETREDRAW. While it is off the control is not repainted
  // (a real list box repaints after every added item otherwise); turned back
  // on, the control is repainted.
  virtual void SetRedraw(int id, bool redraw) = 0;

  // The radio buttons of the group that starts at `firstId`: the controls
  // from it up to the next control that starts a group, radio buttons only,
  // in template order.
  virtual std::vector<int> RadioGroup(int firstId) const = 0;

  // Adds the template's list initialisations to their boxes (the dialog's
  // RT_DLGINIT data); false when a box refuses an item.
  virtual bool ExecuteDlgInit() = 0;

  // Ends the modal run with `result` once the current message is handled.
  virtual void EndDialog(int result) = 0;
};

}  // namespace dz::ui
