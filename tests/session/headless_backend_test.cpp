#include <gtest/gtest.h>

#include "session/script_paths.h"
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
  bool save = false;  // the file dialog saves; it shows the path with ".qel" in box 101

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
      ui::FileDialog file(!save, nullptr, nullptr, ui::kOfnHideReadOnly | ui::kOfnFileMustExist, "(*.txt)|*.txt||",
                          this);
      fileResult = file.DoModal();
      chosen = file.GetPathName();
      if (save && fileResult == ui::kIdOk) SetDlgItemText(kTextEdit, chosen + ".qel");
    }
  }
};

class HeadlessBackend : public ::testing::Test {
 protected:
  HeadlessSession session{FindTestTemplate};
  AskingDialog dialog;

  // Runs the dialog with `lines`; returns the mismatch's line and reason, or
  // line 0 when the script fitted.
  session::ScriptError Run(const std::string& lines) {
    session.Play(lines);
    try {
      dialog.DoModal();
      session.backend.FinishActions();
    } catch (const session::ScriptMismatch&) {
    }
    return session.backend.Failed() ? session.backend.Failure() : session::ScriptError{};
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
  const session::ScriptError e = Run(R"(click 160
answer yes
click 2)");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("only OK"), std::string::npos) << e.message;
  HeadlessSession other{FindTestTemplate};
  AskingDialog asking;
  asking.note2 = false;
  other.Play("click 160\nanswer ok\nclick 2");
  EXPECT_THROW(asking.DoModal(), session::ScriptMismatch);
  EXPECT_NE(other.backend.Failure().message.find("yes or no"), std::string::npos);
}

TEST_F(HeadlessBackend, AnswersNobodyAskedForDoNotFit) {
  session::ScriptError e = Run("answer ok\nclick 2");
  EXPECT_EQ(e.line, 2);
  EXPECT_NE(e.message.find("no message box is open"), std::string::npos) << e.message;
}

TEST_F(HeadlessBackend, FileAnswersNobodyAskedForDoNotFit) {
  session::ScriptError e = Run("click 160\nfile \"x.txt\"\nclick 2");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("no file dialog is open"), std::string::npos) << e.message;
}

TEST_F(HeadlessBackend, AFileDialogNeedsItsAnswerNext) {
  dialog.ask = dialog.note2 = false;
  dialog.wantFile = true;
  session::ScriptError e = Run("click 160\nclick 2");
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
  EXPECT_THROW(second.DoModal(), session::ScriptMismatch);
  EXPECT_EQ(other.backend.Failure().line, 3);
  EXPECT_NE(other.backend.Failure().message.find("does not exist"), std::string::npos);
}

TEST_F(HeadlessBackend, AFileDialogHandsBackTheFullPathAndTheLogTheScriptsWords) {
  dialog.ask = dialog.note2 = false;
  dialog.wantFile = dialog.save = true;
  EXPECT_EQ(Run("click 160\nfile \"sub.qel/../made\"\nshow 101\nclick 2").line, 0);
  EXPECT_EQ(dialog.chosen, session::FullPathOf("made"));
  EXPECT_EQ(dialog.chosen.substr(0, 1), "/");
  EXPECT_EQ(session.log[1], R"(control 101 text="sub.qel/../made.qel" enabled=1 readonly=0 checked=0)");
}

TEST_F(HeadlessBackend, AFolderDoesNotAnswerAFileDialog) {
  dialog.ask = dialog.note2 = false;
  dialog.wantFile = true;
  TempDir dir;
  const session::ScriptError e = Run("click 160\nfile \"" + dir.path() + "\"\nclick 2");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("it is a folder"), std::string::npos) << e.message;
  EXPECT_EQ(dialog.fileResult, 0);
}

TEST_F(HeadlessBackend, TheSourceIsAskedWhenTheScriptRunsOut) {
  std::vector<session::UserFacing::Kind> asked;
  std::vector<std::string> lines = {"click 160", "answer no", "show 101", "click 2"};
  session.backend.SetActionSource([&](const session::UserFacing& facing, session::ScriptAction& action) {
    asked.push_back(facing.kind);
    // The second box (a note) is left: it takes OK.
    if (facing.kind == session::UserFacing::Kind::MessageBox && asked.size() == 3) return false;
    if (lines.empty()) return false;
    action = Actions(lines.front()).at(0);
    lines.erase(lines.begin());
    return true;
  });
  EXPECT_EQ(Run("show 101").line, 0);
  using K = session::UserFacing::Kind;
  EXPECT_EQ(asked, (std::vector<K>{K::Dialog, K::MessageBox, K::MessageBox, K::Dialog, K::Dialog}));
  EXPECT_EQ(dialog.question, ui::kIdNo);
  EXPECT_EQ(dialog.note, ui::kIdOk);
  EXPECT_EQ(session.log.back(), "dialog 9001 closed 2");
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
  EXPECT_THROW(dialog.DoModal(), session::ScriptMismatch);
  EXPECT_EQ(session.backend.Failure().line, 17);
  EXPECT_NE(session.backend.Failure().message.find("dialog 9001 is open"), std::string::npos);
  EXPECT_EQ(session.backend.ActiveWindow(), nullptr);
  // Once failed, the backend stays failed.
  TestDialog next;
  EXPECT_THROW(next.DoModal(), session::ScriptMismatch);
}

TEST_F(HeadlessBackend, ActionsLeftAfterTheDialogClosedDoNotFit) {
  session::ScriptError e = Run("click 2\nclick 1");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.message.find("no dialog is open"), std::string::npos) << e.message;
}

// Which actions are refused, and with which words, is the table of
// refusals_test.cpp; here the backend stops at the first refused one.
TEST_F(HeadlessBackend, ARefusedActionStopsTheDialogAtItsLine) {
  dialog.ask = dialog.note2 = false;
  const session::ScriptError e = Run("click 160\ntype 170 \"x\"\nclick 2");
  EXPECT_EQ(e.line, 3);
  EXPECT_EQ(e.message, "control 170 of dialog 9001 is read-only");
  EXPECT_EQ(session.log, std::vector<std::string>{"dialog 9001 opened"});
}

}  // namespace
}  // namespace dz::test
