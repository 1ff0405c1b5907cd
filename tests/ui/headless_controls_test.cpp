#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "res/dialog_templates.h"
#include "tests/ui/test_dialog.h"
#include "textpoints/text_data_ids.h"
#include "ui/headless/headless_window.h"

namespace dz::test {
namespace {

using Notifications = std::vector<std::pair<int, int>>;

class HeadlessControls : public ::testing::Test {
 protected:
  explicit HeadlessControls(const ui::DialogTemplate& t = TestDialogTemplate()) : window(t) {
    window.SetNotify([this](int id, int code) { notified.emplace_back(id, code); });
    window.ExecuteDlgInit();
  }
  ui::HeadlessWindow window;
  Notifications notified;
};

class TextDataControls : public HeadlessControls {
 protected:
  TextDataControls() : HeadlessControls(*res::FindDialogTemplate(IDD_TEXT_DATA)) {}
};

TEST_F(TextDataControls, TemplateGivesInitialStatesAndLists) {
  for (int id : {IDC_TEXT_SHOW_EAST, IDC_TEXT_SHOW_NORTH, IDC_TEXT_SHOW_ELEV, IDC_TEXT_SHOW_CODE})
    EXPECT_FALSE(window.IsItemEnabled(id)) << id;
  for (int id : {IDC_TEXT_START_NO, IDC_TEXT_CYCLE, IDC_TEXT_PATH, IDC_TEXT_CHECK})
    EXPECT_TRUE(window.IsItemEnabled(id)) << id;
  EXPECT_EQ(window.GetCount(IDC_TEXT_DUP_POLICY), 3);
  std::string item;
  ASSERT_TRUE(window.GetItemString(IDC_TEXT_DUP_POLICY, 2, item));
  EXPECT_EQ(item, "忽略");
  EXPECT_FALSE(window.GetItemString(IDC_TEXT_DUP_POLICY, 3, item));
  EXPECT_EQ(item, "忽略");
  EXPECT_EQ(window.GetCurSel(IDC_TEXT_DUP_POLICY), -1);
  EXPECT_EQ(window.GetCount(IDC_TEXT_PREVIEW), 0);
}

TEST_F(TextDataControls, RadioButtonsCheckThemselvesWithinTheirGroup) {
  window.CheckButton(IDC_TEXT_COLUMN_LAYOUT, 1);
  window.CheckButton(IDC_TEXT_AUTO_NUMBER, 1);
  window.Click(IDC_TEXT_ROW_LAYOUT);
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_ROW_LAYOUT), 1);
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_COLUMN_LAYOUT), 0);
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_AUTO_NUMBER), 1);  // another group
  window.Click(IDC_TEXT_CUSTOM_NUMBER);
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_AUTO_NUMBER), 0);
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_ROW_LAYOUT), 1);
  // Clicking the checked one again keeps it checked and still notifies.
  window.Click(IDC_TEXT_CUSTOM_NUMBER);
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_CUSTOM_NUMBER), 1);
  const Notifications expected = {{IDC_TEXT_ROW_LAYOUT, ui::kBnClicked},
                                  {IDC_TEXT_CUSTOM_NUMBER, ui::kBnClicked},
                                  {IDC_TEXT_CUSTOM_NUMBER, ui::kBnClicked}};
  EXPECT_EQ(notified, expected);
  EXPECT_EQ(window.RadioGroup(IDC_TEXT_COLUMN_LAYOUT),
            (std::vector<int>{IDC_TEXT_COLUMN_LAYOUT, IDC_TEXT_ROW_LAYOUT}));
  EXPECT_EQ(window.RadioGroup(IDC_TEXT_AUTO_NUMBER),
            (std::vector<int>{IDC_TEXT_AUTO_NUMBER, IDC_TEXT_CUSTOM_NUMBER}));
}

TEST_F(TextDataControls, SetCheckChangesOnlyThatButtonAndNotifiesNobody) {
  window.CheckButton(IDC_TEXT_COLUMN_LAYOUT, 1);
  window.CheckButton(IDC_TEXT_ROW_LAYOUT, 2);  // a two-state button caps at checked
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_COLUMN_LAYOUT), 1);
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_ROW_LAYOUT), 1);
  window.CheckButton(IDC_TEXT_CHECK, 1);  // push buttons keep no state
  EXPECT_EQ(window.IsButtonChecked(IDC_TEXT_CHECK), 0);
  EXPECT_TRUE(notified.empty());
}

TEST_F(TextDataControls, DropDownListShowsItsSelection) {
  EXPECT_EQ(window.SetCurSel(IDC_TEXT_DUP_POLICY, 1), 1);
  EXPECT_EQ(window.GetItemText(IDC_TEXT_DUP_POLICY), "更新");
  window.SetItemText(IDC_TEXT_DUP_POLICY, "改点名");  // a drop-down list has no edit to set
  EXPECT_EQ(window.GetCurSel(IDC_TEXT_DUP_POLICY), 1);
  EXPECT_EQ(window.SetCurSel(IDC_TEXT_DUP_POLICY, 3), ui::kCbErr);
  EXPECT_EQ(window.GetCurSel(IDC_TEXT_DUP_POLICY), -1);
  EXPECT_EQ(window.GetItemText(IDC_TEXT_DUP_POLICY), "");
  window.Select(IDC_TEXT_DUP_POLICY, 0);
  EXPECT_EQ(window.GetCurSel(IDC_TEXT_DUP_POLICY), 0);
  EXPECT_EQ(notified, (Notifications{{IDC_TEXT_DUP_POLICY, ui::kCbnSelChange}}));
}

TEST_F(TextDataControls, ListBoxKeepsInsertionOrderAndNotifiesSelections) {
  window.AddString(IDC_TEXT_PREVIEW, "b line");
  window.AddString(IDC_TEXT_PREVIEW, "a line");
  std::string first;
  window.GetItemString(IDC_TEXT_PREVIEW, 0, first);
  EXPECT_EQ(first, "b line");
  window.Select(IDC_TEXT_PREVIEW, 1);
  EXPECT_EQ(notified, (Notifications{{IDC_TEXT_PREVIEW, ui::kLbnSelChange}}));
  window.ResetContent(IDC_TEXT_PREVIEW);
  EXPECT_EQ(window.GetCount(IDC_TEXT_PREVIEW), 0);
  EXPECT_EQ(window.GetCurSel(IDC_TEXT_PREVIEW), -1);
}

// What the user may do to a control is the table of refusals
// (tests/session/refusals_test.cpp); the controls keep what it reads.
TEST_F(TextDataControls, ProgramMaySetTheTextOfAReadOnlyBox) {
  window.SetReadOnly(IDC_TEXT_PATH, true);
  EXPECT_TRUE(window.IsItemEnabled(IDC_TEXT_PATH));
  EXPECT_TRUE(window.IsReadOnly(IDC_TEXT_PATH));
  window.SetItemText(IDC_TEXT_PATH, "set");
  EXPECT_EQ(window.GetItemText(IDC_TEXT_PATH), "set");
  EXPECT_TRUE(notified.empty());
  window.SetReadOnly(IDC_TEXT_PATH, false);
  window.Type(IDC_TEXT_PATH, "typed");
  EXPECT_EQ(window.GetItemText(IDC_TEXT_PATH), "typed");
  EXPECT_EQ(notified, (Notifications{{IDC_TEXT_PATH, ui::kEnChange}}));
}

TEST_F(TextDataControls, ActionsOnControlsTheDialogDoesNotHaveDoNothing) {
  window.Click(4242);
  window.Type(ui::kStaticId, "x");
  window.Select(4242, 0);
  EXPECT_FALSE(window.HasItem(ui::kStaticId));
  EXPECT_TRUE(notified.empty());
}

TEST_F(HeadlessControls, AutomaticCheckBoxTogglesWhenClicked) {
  window.Click(kCheckBox);
  EXPECT_EQ(window.IsButtonChecked(kCheckBox), 1);
  window.Click(kCheckBox);
  EXPECT_EQ(window.IsButtonChecked(kCheckBox), 0);
  // check ... on|off clicks only when the state differs.
  window.Check(kCheckBox, false);
  window.Check(kCheckBox, true);
  EXPECT_EQ(window.IsButtonChecked(kCheckBox), 1);
  EXPECT_EQ(notified.size(), 3u);
}

TEST_F(HeadlessControls, RadioGroupIncludesControlsUpToTheNextGroupStart) {
  window.CheckButton(kLaterRadio, 1);
  window.Click(kRadioC);
  window.Click(kRadioA);
  EXPECT_EQ(window.IsButtonChecked(kRadioA), 1);
  EXPECT_EQ(window.IsButtonChecked(kRadioC), 0);
  EXPECT_EQ(window.IsButtonChecked(kLaterRadio), 1);
  EXPECT_EQ(window.RadioGroup(kRadioA), (std::vector<int>{kRadioA, kRadioB, kRadioC}));
}

TEST_F(HeadlessControls, TypingIntoAClosedComboLeavesNoItemSelected) {
  window.Select(kEditableCombo, 0);
  notified.clear();
  window.Type(kEditableCombo, "BET");
  EXPECT_EQ(window.GetCurSel(kEditableCombo), -1);
  EXPECT_EQ(window.GetItemText(kEditableCombo), "BET");
  window.Type(kEditableCombo, "Betamax");
  EXPECT_EQ(window.GetCurSel(kEditableCombo), -1);
  EXPECT_EQ(notified, (Notifications{{kEditableCombo, ui::kCbnEditChange}, {kEditableCombo, ui::kCbnEditChange}}));
  // Choosing an item writes it into the edit.
  window.Select(kEditableCombo, 2);
  EXPECT_EQ(window.GetItemText(kEditableCombo), "Betamax");
  window.SetCurSel(kEditableCombo, -1);
  EXPECT_EQ(window.GetItemText(kEditableCombo), "");
}

TEST_F(HeadlessControls, FocusGoesToTheFirstEnabledTabStop) {
  window.EnableItem(kTextEdit, false);
  window.FocusFirstTabStop();
  EXPECT_EQ(window.FocusId(), kFirstIntEdit);
}

TEST_F(HeadlessControls, ReadOnlyFromTheTemplate) {
  EXPECT_TRUE(window.IsReadOnly(kReadOnlyEdit));
  EXPECT_TRUE(window.ItemStyle(kReadOnlyEdit) & ui::kEsReadOnly);
  window.SetReadOnly(kReadOnlyEdit, false);
  EXPECT_FALSE(window.ItemStyle(kReadOnlyEdit) & ui::kEsReadOnly);
}

}  // namespace
}  // namespace dz::test
