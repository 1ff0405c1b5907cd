// A dialog's controls without windows: built from the dialog's template, they
// keep the state that Windows' controls keep and answer the window messages
// as those do, so dialog code behaves here as on the screen. The user's
// actions (typing, clicking, choosing) change them as the user would and
// notify the dialog as Windows does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/dialog_window.h"

namespace dz::ui {

class HeadlessWindow : public DialogWindow {
 public:
  // Receives the WM_COMMAND notifications of the user's actions.
  using Notify = std::function<void(int id, int code)>;

  explicit HeadlessWindow(const DialogTemplate& dialogTemplate);

  void SetNotify(Notify notify) { notify_ = std::move(notify); }
  const DialogTemplate& Template() const { return template_; }

  // --- DialogWindow -----------------------------------------------------------
  int TemplateId() const override { return template_.id; }
  bool HasItem(int id) const override { return find(id) != nullptr; }
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
  // Nothing is painted here: neither changes anything.
  void InitStorage(int, int, size_t) override {}
  void SetRedraw(int, bool) override {}
  std::vector<int> RadioGroup(int firstId) const override;
  bool ExecuteDlgInit() override;
  void EndDialog(int result) override;

  // --- The user -------------------------------------------------------------
  // What the user does, as the user's input does it. The player asks first
  // whether the user can (session/refusals.h); an action on a control that
  // does not exist does nothing.
  // Replaces the text of an edit (or of an editable combo box) as typing would.
  void Type(int id, const std::string& text);
  // Presses a button; check boxes and radio buttons of the automatic kinds
  // change their state first.
  void Click(int id);
  // Clicks a check box when its state differs from `on`.
  void Check(int id, bool on);
  // Chooses item `index` of a combo or list box.
  void Select(int id, int index);
  // The dialog manager's focus on opening: the first enabled tab stop.
  void FocusFirstTabStop();

  bool Ended() const { return ended_; }
  int Result() const { return result_; }
  // The control that has the focus (0: none), and whether its whole text is
  // selected (as after a failed exchange).
  int FocusId() const { return focus_; }
  bool IsTextAllSelected(int id) const;

 private:
  struct Control {
    const ControlTemplate* source = nullptr;
    std::string text;
    bool enabled = true;
    bool readOnly = false;
    int check = 0;
    std::vector<std::string> items;
    int curSel = -1;
    bool allSelected = false;
  };

  Control* find(int id);
  const Control* find(int id) const;
  size_t indexOf(const Control& c) const { return static_cast<size_t>(&c - controls_.data()); }
  bool startsGroup(size_t index) const;
  void notify(int id, int code);

  DialogTemplate template_;
  std::vector<Control> controls_;
  Notify notify_;
  bool ended_ = false;
  int result_ = 0;
  int focus_ = 0;
};

}  // namespace dz::ui
