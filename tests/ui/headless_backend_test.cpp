#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"
#include "tests/ui/test_dialog.h"
#include "ui/file_dialog.h"

namespace dz::test {
namespace {

// A dialog whose button asks the user things: a question, a note and a file.
class AskingDialog : public TestDialog {
 public:
  int question = 0;
  int note = 0;
  int fileResult = 0;
  std::string chosen;
  bool ask = true;
  bool note2 = true;
  bool wantFile = false;

 protected:
  const ui::MessageMap& GetMessageMap() const override {
    using H = ui::Handler<AskingDialog>;
    static const ui::MessageMap map{H{kButton, ui::kBnClicked, &AskingDialog::OnAsk}};
    return map;
  }

 private:
  void OnAsk() {
    if (ask) question = MessageBox("继续？", ui::kMbYesNo);
    if (note2) note = MessageBox("完毕");
    if (wantFile) {
      ui::FileDialog file(true, nullptr, nullptr, ui::kOfnHideReadOnly | ui::kOfnFileMustExist, "(*.txt)|*.txt||", this);
      fileResult = file.DoModal();
      chosen = file.GetPathName();
    }
  }
};

class HeadlessBackend : public ::testing::Test {
 protected:
  HeadlessSession session{FindTestTemplate};
  AskingDialog dialog;

  // Runs the dialog with `lines`; returns the mismatch's line and reason, or
  // line 0 when the script fitted.
  ui::ScriptError Run(const std::string& lines) {
    session.Play(lines);
    try {
      dialog.DoModal();
      session.backend.FinishActions();
    } catch (const ui::ScriptMismatch&) {
    }
    return session.backend.Failed() ? session.backend.Failure() : ui::ScriptError{};
  }
};

TEST_F(HeadlessBackend, MessageBoxesTakeTheirAnswersOrOkAndYes) {
  EXPECT_EQ(Run(R"(click 160
answer no
click 160
click 2)").line, 0);
  EXPECT_EQ(dialog.question, ui::kIdYes);  // the second click's question had no answer
  EXPECT_EQ(dialog.note, ui::kIdOk);
  const std::vector<std::string> expected = {
      "dialog 9001 opened",
      u8R"(msgbox "继续？" -> no)",
      u8R"(msgbox "完毕" -> ok)",
      u8R"(msgbox "继续？" -> yes)",
      u8R"(msgbox "完毕" -> ok)",
      "dialog 9001 closed 2",
  };
  EXPECT_EQ(session.log, expected);
}

TEST_F(HeadlessBackend, AnswerMustFitTheBox) {
  dialog.ask = false;
  const ui::ScriptError e = Run(R"(click 160
answer yes
click 2)");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("only OK"), std::string::npos) << e.message;
  HeadlessSession other{FindTestTemplate};
  AskingDialog asking;
  asking.note2 = false;
  other.Play("click 160\nanswer ok\nclick 2");
  EXPECT_THROW(asking.DoModal(), ui::ScriptMismatch);
  EXPECT_NE(other.backend.Failure().message.find("yes or no"), std::string::npos);
}

TEST_F(HeadlessBackend, AnswersNobodyAskedForDoNotFit) {
  ui::ScriptError e = Run("answer ok\nclick 2");
  EXPECT_EQ(e.line, 2);
  EXPECT_NE(e.message.find("no message box is open"), std::string::npos) << e.message;
}

TEST_F(HeadlessBackend, FileAnswersNobodyAskedForDoNotFit) {
  ui::ScriptError e = Run("click 160\nfile \"x.txt\"\nclick 2");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("no file dialog is open"), std::string::npos) << e.message;
}

TEST_F(HeadlessBackend, AFileDialogNeedsItsAnswerNext) {
  dialog.ask = dialog.note2 = false;
  dialog.wantFile = true;
  ui::ScriptError e = Run("click 160\nclick 2");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("open file dialog (*.txt)|*.txt||"), std::string::npos) << e.message;
  ASSERT_EQ(session.backend.FileRequests().size(), 1u);
  const ui::FileDialogRequest& r = session.backend.FileRequests()[0];
  EXPECT_TRUE(r.open);
  EXPECT_EQ(r.flags, 0x1004u);
  EXPECT_EQ(r.ownerTemplateId, kTestDialogId);
}

TEST_F(HeadlessBackend, OpenDialogTakesOnlyExistingFilesWhenAsked) {
  dialog.ask = dialog.note2 = false;
  dialog.wantFile = true;
  TempDir dir;
  const std::string existing = dir.write("p.txt", "1\n");
  EXPECT_EQ(Run("click 160\nfile \"" + existing + "\"\nclick 2").line, 0);
  EXPECT_EQ(dialog.fileResult, ui::kIdOk);
  EXPECT_EQ(dialog.chosen, existing);

  HeadlessSession other{FindTestTemplate};
  AskingDialog second;
  second.ask = second.note2 = false;
  second.wantFile = true;
  other.Play("click 160\nfile \"" + dir.file("missing.txt") + "\"\nclick 2");
  EXPECT_THROW(second.DoModal(), ui::ScriptMismatch);
  EXPECT_EQ(other.backend.Failure().line, 3);
  EXPECT_NE(other.backend.Failure().message.find("does not exist"), std::string::npos);
}

TEST_F(HeadlessBackend, FileCancelChangesNothing) {
  dialog.ask = dialog.note2 = false;
  dialog.wantFile = true;
  EXPECT_EQ(Run("click 160\nfile-cancel\nclick 2").line, 0);
  EXPECT_EQ(dialog.fileResult, ui::kIdCancel);
  EXPECT_EQ(dialog.chosen, "");
}

TEST_F(HeadlessBackend, ScriptEndingWhileTheDialogIsOpenDoesNotFit) {
  session.backend.BeginActions(Actions("show 101"), 17);
  EXPECT_THROW(dialog.DoModal(), ui::ScriptMismatch);
  EXPECT_EQ(session.backend.Failure().line, 17);
  EXPECT_NE(session.backend.Failure().message.find("dialog 9001 is open"), std::string::npos);
  EXPECT_EQ(session.backend.ActiveWindow(), nullptr);
  // Once failed, the backend stays failed.
  TestDialog next;
  EXPECT_THROW(next.DoModal(), ui::ScriptMismatch);
}

TEST_F(HeadlessBackend, ActionsLeftAfterTheDialogClosedDoNotFit) {
  ui::ScriptError e = Run("click 2\nclick 1");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("no dialog is open"), std::string::npos) << e.message;
}

TEST_F(HeadlessBackend, ActionsForMissingOrUnusableControlsDoNotFit) {
  struct Case {
    const char* lines;
    const char* reason;
  } cases[] = {
      {"click 4242", "control 4242 of dialog 9001 does not exist"},
      {"show 4242", "control 4242 of dialog 9001 does not exist"},
      {"type 170 \"x\"", "is read-only"},
      {"type 160 \"x\"", "is not an edit box"},
      {"select 140 3", "has 3 items; there is no item 3"},
      {"check 120 on", "is not a check box"},
  };
  for (const Case& c : cases) {
    HeadlessSession s{FindTestTemplate};
    TestDialog d;
    s.Play(std::string(c.lines) + "\nclick 2");
    EXPECT_THROW(d.DoModal(), ui::ScriptMismatch) << c.lines;
    EXPECT_EQ(s.backend.Failure().line, 2) << c.lines;
    EXPECT_NE(s.backend.Failure().message.find(c.reason), std::string::npos) << s.backend.Failure().message;
  }
}

}  // namespace
}  // namespace dz::test

namespace dz::ui {
namespace {

TEST(ChosenPathExtension, AppendedUnlessItsTextStandsAnywhere) {
  struct Case {
    const char* chosen;
    const char* result;
  } cases[] = {
      {"D:\\a\\b", "D:\\a\\b.qel"},         {"D:\\x.qel\\b", "D:\\x.qel\\b"},
      {"D:\\b.QEL", "D:\\b.QEL.qel"},       {"C:\\a.qel.bak", "C:\\a.qel.bak"},
      {"D:\\数据\\图", "D:\\数据\\图.qel"},  {"D:\\数据\\图.qel", "D:\\数据\\图.qel"},
  };
  for (const Case& c : cases) {
    std::string path = c.chosen;
    AppendExtensionUnlessPresent(path, ".qel");
    EXPECT_EQ(path, c.result);
  }
}

}  // namespace
}  // namespace dz::ui
