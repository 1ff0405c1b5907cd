#include <gtest/gtest.h>

#include <string>

#include "session/refusals.h"
#include "session/session_script.h"
#include "ui/headless/headless_window.h"
#include "ui/message_service.h"

namespace dz::session {
namespace {

// A dialog with a control of every kind and state a refusal tells apart.
constexpr int kDialog = 9100;
enum Control {
  kEdit = 1,
  kDisabledEdit,
  kReadOnlyEdit,
  kDropList,
  kEditableCombo,
  kList,
  kDisabledList,
  kCheckBox,
  kDisabledTickedBox,
  kRadio,
  kPush,
  kDisabledPush,
  kGroupBox,
};

const ui::DialogTemplate& refusalTemplate() {
  using ui::ControlClass;
  static const ui::DialogTemplate t = [] {
    const uint32_t child = ui::kWsChild | ui::kWsVisible;
    ui::DialogTemplate d{kDialog, "refusals", ui::kWsPopup, 100, 100, "x", 9, 0x86, 0x0804, {}, {}};
    d.controls = {
        {ui::kStaticId, ControlClass::Static, child, "label", 0, 0, 1, 1},
        {kEdit, ControlClass::Edit, child, "", 0, 0, 1, 1},
        {kDisabledEdit, ControlClass::Edit, child | ui::kWsDisabled, "", 0, 0, 1, 1},
        {kReadOnlyEdit, ControlClass::Edit, child | ui::kEsReadOnly, "", 0, 0, 1, 1},
        {kDropList, ControlClass::ComboBox, child | ui::kCbsDropDownList, "", 0, 0, 1, 1},
        {kEditableCombo, ControlClass::ComboBox, child | ui::kCbsDropDown, "", 0, 0, 1, 1},
        {kList, ControlClass::ListBox, child, "", 0, 0, 1, 1},
        {kDisabledList, ControlClass::ListBox, child | ui::kWsDisabled, "", 0, 0, 1, 1},
        {kCheckBox, ControlClass::Button, child | ui::kBsAutoCheckBox, "check", 0, 0, 1, 1},
        {kDisabledTickedBox, ControlClass::Button, child | ui::kWsDisabled | ui::kBsAutoCheckBox, "ticked", 0, 0, 1, 1},
        {kRadio, ControlClass::Button, child | ui::kBsAutoRadioButton, "radio", 0, 0, 1, 1},
        {kPush, ControlClass::Button, child | ui::kBsPushButton, "push", 0, 0, 1, 1},
        {kDisabledPush, ControlClass::Button, child | ui::kWsDisabled | ui::kBsPushButton, "off", 0, 0, 1, 1},
        {kGroupBox, ControlClass::Button, child | ui::kBsGroupBox, "group", 0, 0, 1, 1},
    };
    d.lists = {{kDropList, {"a", "b"}}, {kList, {"x", "y", "z"}}, {kDisabledList, {"x"}}};
    return d;
  }();
  return t;
}

enum class Facing { Dialog, OkBox, QuestionBox, OpenDialog, SaveDialog, Nothing };

// The refusal of `line` (one action; empty: the actions have run out).
std::string refusalOf(const std::string& line, Facing facing) {
  ScriptAction action;
  if (!line.empty()) {
    SessionScript script;
    ScriptError error;
    EXPECT_TRUE(ParseSessionScript("call 10\n" + line + "\nend", script, error)) << line << ": " << error.message;
    action = script.steps.at(0).actions.at(0);
  }
  const ScriptAction* next = line.empty() ? nullptr : &action;
  ui::HeadlessWindow window(refusalTemplate());
  window.ExecuteDlgInit();
  window.CheckButton(kDisabledTickedBox, ui::kBstChecked);
  ui::FileDialogRequest request;
  request.open = facing == Facing::OpenDialog;
  request.flags = ui::kOfnHideReadOnly | ui::kOfnFileMustExist;
  request.filter = "(*.txt)|*.txt||";
  const auto find = [](const std::string& path) {
    if (path == "there.txt" || path == "D:\\there.txt") return UserFacing::Found::File;
    if (path == "folder" || path == "folder.txt" || path == ".") return UserFacing::Found::Folder;
    return UserFacing::Found::Nothing;
  };
  switch (facing) {
    case Facing::Dialog: return Refusal(next, UserFacing::InDialog(window));
    case Facing::OkBox: return Refusal(next, UserFacing::AtMessageBox("完毕", false));
    case Facing::QuestionBox: return Refusal(next, UserFacing::AtMessageBox("继续？", true));
    case Facing::OpenDialog:
    case Facing::SaveDialog: return Refusal(next, UserFacing::AtFileDialog(request, find));
    case Facing::Nothing: return Refusal(next, UserFacing::AfterReturn());
  }
  return "?";
}

TEST(Refusal, EveryActionAgainstWhatTheUserFaces) {
  const std::string control = "control ";
  const std::string of = " of dialog 9100";
  struct Case {
    Facing facing;
    std::string action;
    std::string refusal;  // empty: the user can
  } cases[] = {
      // Typing: edits and editable combo boxes that are enabled, and edits
      // that are not read-only.
      {Facing::Dialog, "type 1 \"x\"", ""},
      {Facing::Dialog, "type 5 \"x\"", ""},
      {Facing::Dialog, "type 2 \"x\"", control + "2" + of + " is disabled"},
      {Facing::Dialog, "type 3 \"x\"", control + "3" + of + " is read-only"},
      {Facing::Dialog, "type 4 \"x\"", control + "4" + of + " is not an edit box"},
      {Facing::Dialog, "type 11 \"x\"", control + "11" + of + " is not an edit box"},
      {Facing::Dialog, "type 4242 \"x\"", control + "4242" + of + " does not exist"},
      // Clicking: enabled buttons of every kind but the group box.
      {Facing::Dialog, "click 11", ""},
      {Facing::Dialog, "click 8", ""},
      {Facing::Dialog, "click 10", ""},
      {Facing::Dialog, "click 12", control + "12" + of + " is disabled"},
      {Facing::Dialog, "click 13", control + "13" + of + " is not a button"},
      {Facing::Dialog, "click 1", control + "1" + of + " is not a button"},
      {Facing::Dialog, "click 4242", control + "4242" + of + " does not exist"},
      // Ticking: check boxes; one already as asked is not clicked, so its
      // being disabled does not matter.
      {Facing::Dialog, "check 8 on", ""},
      {Facing::Dialog, "check 8 off", ""},
      {Facing::Dialog, "check 9 on", ""},
      {Facing::Dialog, "check 9 off", control + "9" + of + " is disabled"},
      {Facing::Dialog, "check 10 on", control + "10" + of + " is not a check box"},
      {Facing::Dialog, "check 11 on", control + "11" + of + " is not a check box"},
      // Choosing: an item the enabled list or combo box has.
      {Facing::Dialog, "select 6 2", ""},
      {Facing::Dialog, "select 4 1", ""},
      {Facing::Dialog, "select 6 3", control + "6" + of + " has 3 items; there is no item 3"},
      {Facing::Dialog, "select 4 2", control + "4" + of + " has 2 items; there is no item 2"},
      {Facing::Dialog, "select 7 0", control + "7" + of + " is disabled"},
      {Facing::Dialog, "select 1 0", control + "1" + of + " is not a combo or list box"},
      // Looking and closing.
      {Facing::Dialog, "show 2", ""},
      {Facing::Dialog, "show 4242", control + "4242" + of + " does not exist"},
      {Facing::Dialog, "close", ""},
      // What belongs to other windows.
      {Facing::Dialog, "answer ok", "no message box is open: dialog 9100 waits for the user"},
      {Facing::Dialog, "file \"a\"", "no file dialog is open: dialog 9100 waits for the user"},
      {Facing::Dialog, "file-cancel", "no file dialog is open: dialog 9100 waits for the user"},
      {Facing::Dialog, "", "the script ends while dialog 9100 is open"},
      // A message box takes an answer that fits its buttons; anything else
      // waits for what comes after the box, which takes OK or Yes.
      {Facing::OkBox, "answer ok", ""},
      {Facing::OkBox, "answer yes", u8"the message box has only OK: 完毕"},
      {Facing::OkBox, "answer no", u8"the message box has only OK: 完毕"},
      {Facing::OkBox, "click 1", ""},
      {Facing::OkBox, "", ""},
      {Facing::QuestionBox, "answer yes", ""},
      {Facing::QuestionBox, "answer no", ""},
      {Facing::QuestionBox, "answer ok", u8"the message box asks yes or no: 继续？"},
      // A file dialog takes a path or a cancel, and when it opens files that
      // must exist, only a path it finds.
      {Facing::OpenDialog, "file \"there.txt\"", ""},
      {Facing::OpenDialog, "file-cancel", ""},
      {Facing::OpenDialog, "file \"gone.txt\"",
       "the open file dialog (*.txt)|*.txt|| takes only existing files, and gone.txt does not exist"},
      {Facing::OpenDialog, "click 1", "the open file dialog (*.txt)|*.txt|| is open: answer it with file \"PATH\" or file-cancel"},
      {Facing::OpenDialog, "answer ok", "the open file dialog (*.txt)|*.txt|| is open: answer it with file \"PATH\" or file-cancel"},
      {Facing::OpenDialog, "", "the script ends while the open file dialog (*.txt)|*.txt|| is open"},
      {Facing::SaveDialog, "file \"gone.txt\"", ""},
      {Facing::SaveDialog, "file \"new/gone.txt\"", ""},
      // Paths the real file dialog does not close on: a folder (it opens
      // it), a name with * or ? (a filter), and names Windows gives no
      // file; in either dialog.
      {Facing::OpenDialog, "file \"folder\"",
       "the open file dialog (*.txt)|*.txt|| does not take folder: it is a folder, which it opens"},
      {Facing::SaveDialog, "file \"folder.txt\"",
       "the save file dialog (*.txt)|*.txt|| does not take folder.txt: it is a folder, which it opens"},
      {Facing::SaveDialog, "file \".\"",
       "the save file dialog (*.txt)|*.txt|| does not take .: it is a folder, which it opens"},
      {Facing::OpenDialog, "file \"th*re.txt\"",
       "the open file dialog (*.txt)|*.txt|| does not take th*re.txt: * and ? make it a filter, not a file"},
      {Facing::SaveDialog, "file \"a?.txt\"",
       "the save file dialog (*.txt)|*.txt|| does not take a?.txt: * and ? make it a filter, not a file"},
      {Facing::SaveDialog, "file \"a|b\"",
       "the save file dialog (*.txt)|*.txt|| does not take a|b: a file name cannot hold < > | \" or :"},
      {Facing::SaveDialog, "file \"ab:c\"",
       "the save file dialog (*.txt)|*.txt|| does not take ab:c: a file name cannot hold < > | \" or :"},
      {Facing::OpenDialog, "file \"D:\\there.txt\"", ""},
      {Facing::SaveDialog, "file \"out.\"",
       "the save file dialog (*.txt)|*.txt|| does not take out.: a file name cannot end in a dot or a space"},
      {Facing::SaveDialog, "file \"out \"",
       "the save file dialog (*.txt)|*.txt|| does not take out : a file name cannot end in a dot or a space"},
      {Facing::SaveDialog, "file \"new/\"",
       "the save file dialog (*.txt)|*.txt|| does not take new/: a path that ends in a separator names a folder"},
      {Facing::SaveDialog, "", "the script ends while the save file dialog (*.txt)|*.txt|| is open"},
      // After the command returned, nothing is open.
      {Facing::Nothing, "", ""},
      {Facing::Nothing, "click 1", "no dialog is open: the command has returned"},
      {Facing::Nothing, "show 1", "no dialog is open: the command has returned"},
      {Facing::Nothing, "answer yes", "no message box is open: the command has returned"},
      {Facing::Nothing, "file \"x\"", "no file dialog is open: the command has returned"},
      {Facing::Nothing, "file-cancel", "no file dialog is open: the command has returned"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(refusalOf(c.action, c.facing), c.refusal) << "facing " << static_cast<int>(c.facing) << ": " << c.action;
}

TEST(Refusal, LabelsNobodyAddressesAreNoControls) {
  ui::HeadlessWindow window(refusalTemplate());
  ScriptAction click;
  click.kind = ScriptAction::Kind::Click;
  click.id = ui::kStaticId;
  EXPECT_EQ(Refusal(&click, UserFacing::InDialog(window)), "control -1 of dialog 9100 does not exist");
}

}  // namespace
}  // namespace dz::session
