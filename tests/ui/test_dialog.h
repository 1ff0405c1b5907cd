// A dialog of every control kind the framework exchanges, on a template of
// its own, for the framework's tests.
#pragma once

#include <string>

#include "ui/dialog.h"
#include "ui/dialog_template.h"

namespace dz::test {

constexpr int kTestDialogId = 9001;
enum TestControl {
  kTextEdit = 101,
  kFirstIntEdit = 102,
  kDoubleEdit = 103,
  kSecondIntEdit = 104,
  kCheckBox = 110,
  kRadioA = 120,
  kRadioB = 121,
  kRadioC = 122,
  kLaterRadio = 125,
  kCombo = 140,
  kList = 150,
  kButton = 160,
  kReadOnlyEdit = 170,
  kEditableCombo = 180,
};

inline const ui::DialogTemplate& TestDialogTemplate() {
  using ui::ControlClass;
  static const ui::DialogTemplate t = [] {
    const uint32_t child = ui::kWsChild | ui::kWsVisible;
    const uint32_t edit = child | ui::kWsBorder | ui::kWsTabStop | ui::kEsAutoHScroll;
    ui::DialogTemplate d{kTestDialogId, "test", ui::kWsPopup, 100, 100, "x", 9, 0x86, 0x0804, {}, {}};
    d.controls = {
        {ui::kStaticId, ControlClass::Static, child, "label", 0, 0, 1, 1},
        {kTextEdit, ControlClass::Edit, edit, "", 0, 0, 1, 1},
        {kFirstIntEdit, ControlClass::Edit, edit, "", 0, 0, 1, 1},
        {kDoubleEdit, ControlClass::Edit, edit, "", 0, 0, 1, 1},
        {kSecondIntEdit, ControlClass::Edit, edit, "", 0, 0, 1, 1},
        {kCheckBox, ControlClass::Button, child | ui::kWsTabStop | ui::kBsAutoCheckBox, "check", 0, 0, 1, 1},
        {kRadioA, ControlClass::Button, child | ui::kWsGroup | ui::kBsAutoRadioButton, "a", 0, 0, 1, 1},
        {kRadioB, ControlClass::Button, child | ui::kBsAutoRadioButton, "b", 0, 0, 1, 1},
        {ui::kStaticId, ControlClass::Static, child, "between", 0, 0, 1, 1},
        {kRadioC, ControlClass::Button, child | ui::kBsAutoRadioButton, "c", 0, 0, 1, 1},
        {ui::kStaticId, ControlClass::Static, child | ui::kWsGroup, "next group", 0, 0, 1, 1},
        {kLaterRadio, ControlClass::Button, child | ui::kBsAutoRadioButton, "later", 0, 0, 1, 1},
        {kCombo, ControlClass::ComboBox, child | ui::kWsTabStop | ui::kCbsDropDownList, "", 0, 0, 1, 1},
        {kList, ControlClass::ListBox, child | ui::kWsBorder | ui::kLbsNotify, "", 0, 0, 1, 1},
        {kButton, ControlClass::Button, child | ui::kWsTabStop | ui::kBsPushButton, "press", 0, 0, 1, 1},
        {kReadOnlyEdit, ControlClass::Edit, edit | ui::kEsReadOnly, "", 0, 0, 1, 1},
        {kEditableCombo, ControlClass::ComboBox, child | ui::kCbsDropDown, "", 0, 0, 1, 1},
        {ui::kIdOk, ControlClass::Button, child | ui::kWsTabStop | ui::kBsDefPushButton, "OK", 0, 0, 1, 1},
        {ui::kIdCancel, ControlClass::Button, child | ui::kWsTabStop | ui::kBsPushButton, "Cancel", 0, 0, 1, 1},
    };
    d.lists = {{kCombo, {"zero", "one", "two"}}, {kEditableCombo, {"Alpha", "beta", "Betamax"}}, {kList, {"first"}}};
    return d;
  }();
  return t;
}

inline const ui::DialogTemplate* FindTestTemplate(int id) { return id == kTestDialogId ? &TestDialogTemplate() : nullptr; }

class TestDialog : public ui::Dialog {
 public:
  TestDialog() : ui::Dialog(kTestDialogId) {}

  std::string m_strText = "start";
  int m_nFirst = 1;
  double m_dValue = 9999;
  int m_nSecond = 2;
  int m_bCheck = 1;
  int m_nRadio = 1;
  int m_nCombo = 2;
  ui::CListBox m_lbList;
  ui::CComboBox m_cbEditable;

  int buttonClicks = 0;
  int listChanges = 0;
  int comboChanges = 0;
  bool comboExchangeResult = true;
  bool bindInExchange = true;

 protected:
  void DoDataExchange(ui::DataExchange* pDX) override {
    if (bindInExchange) {
      ui::DDX_Control(pDX, kList, m_lbList);
      ui::DDX_Control(pDX, kEditableCombo, m_cbEditable);
    }
    ui::DDX_Text(pDX, kTextEdit, m_strText);
    ui::DDX_Text(pDX, kFirstIntEdit, m_nFirst);
    ui::DDX_Text(pDX, kDoubleEdit, m_dValue);
    ui::DDX_Text(pDX, kSecondIntEdit, m_nSecond);
    ui::DDX_Check(pDX, kCheckBox, m_bCheck);
    ui::DDX_Radio(pDX, kRadioA, m_nRadio);
    ui::DDX_CBIndex(pDX, kCombo, m_nCombo);
  }

  const ui::MessageMap& GetMessageMap() const override {
    using H = ui::Handler<TestDialog>;
    static const ui::MessageMap map{
        H{kButton, ui::kBnClicked, &TestDialog::OnButton},
        H{kList, ui::kLbnSelChange, &TestDialog::OnListChange},
        H{kCombo, ui::kCbnSelChange, &TestDialog::OnComboChange},
    };
    return map;
  }

 private:
  void OnButton() { ++buttonClicks; }
  void OnListChange() { ++listChanges; }
  void OnComboChange() {
    ++comboChanges;
    comboExchangeResult = UpdateData(true);
  }
};

}  // namespace dz::test
