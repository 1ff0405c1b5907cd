#include <gtest/gtest.h>

#include <cstdio>

#include "base/file_io.h"
#include "base/gbk.h"
#include "base/json.h"
#include "cass/cass_convert_dlg.h"
#include "cass/cass_convert_ids.h"
#include "module/session_runner.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"
#include "ui/path_text.h"

namespace dz::test {
namespace {

// The dialog on its own, on the headless backend, with two input files that
// exist (the open dialogs take only existing files).
class CassConvertDialog : public ::testing::Test {
 protected:
  CassConvertDialog() : qs(dir.write("parcels.qs", "\n")), txt(dir.write("parcels.txt", "\n")) {}

  // Browse lines choosing all four paths; the output is `output`.
  std::string BrowseAll(const std::string& output = "") const {
    return "click 1014\nfile \"" + qs + "\"\nclick 1016\nfile \"" + txt + "\"\nclick 1022\nfile \"" +
           dir.file("x.cas") + "\"\nclick 1019\nfile \"" + (output.empty() ? dir.file("out") : output) + "\"";
  }

  TempDir dir;
  std::string qs, txt;
  HeadlessSession session;
  CCassConvertDlg dialog;
};

TEST_F(CassConvertDialog, PathsTypedWithoutBrowsingAreIncomplete) {
  session.Play(R"(type 1013 "a.qs"
type 1015 "a.txt"
type 1021 "a.cas"
type 1017 "a.qel"
click 1
click 1
show 1013
click 2)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  const std::vector<std::string> shown = {"请将信息完整的输入！！！", "请将信息完整的输入！！！"};
  EXPECT_EQ(session.backend.Messages(), shown);
  EXPECT_EQ(session.log[3], R"(control 1013 text="a.qs" enabled=1 readonly=0 checked=0)");
  EXPECT_EQ(dialog.m_strQsPath, "");
}

TEST_F(CassConvertDialog, EachPathNeedsItsBrowseButton) {
  // Three of four chosen: still incomplete, whatever the fourth box holds.
  session.Play(BrowseAll().substr(0, BrowseAll().find("click 1019")) + "type 1017 \"typed.qel\"\nclick 1\nclick 2");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  EXPECT_EQ(session.backend.Messages().size(), 1u);
}

TEST_F(CassConvertDialog, ConfirmTakesTheBoxesAfterTheCheck) {
  // After all four Browse choices the boxes are what counts: a cleared box
  // gives an empty path, a retyped one the typed path.
  session.Play(BrowseAll() + "\ntype 1015 \"\"\ntype 1013 \"other.qs\"\nclick 1");
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  EXPECT_TRUE(session.backend.Messages().empty());
  EXPECT_EQ(dialog.m_strParcelPath, "");
  EXPECT_EQ(dialog.m_strQsPath, "other.qs");
  EXPECT_EQ(dialog.m_strCasPath, dir.file("x.cas"));
  EXPECT_EQ(dialog.m_strOutputPath, dir.file("out.qel"));
}

TEST_F(CassConvertDialog, OutputGetsTheHostExtensionUnlessItsTextIsThere) {
  struct Case {
    const char* chosen;
    const char* stored;
  } cases[] = {
      {"a/b", "a/b.qel"},
      {"x.qel/b", "x.qel/b"},
      {"b.QEL", "b.QEL.qel"},
      {"b.qel", "b.qel"},
      {u8"数据/图.qelx", u8"数据/图.qelx"},  // the member in UTF-8, the box in GBK
      {u8"数据/图", u8"数据/图.qel"},
  };
  for (const Case& c : cases) {
    HeadlessSession s;
    CCassConvertDlg d;
    s.Play("click 1019\nfile \"" + dir.file(c.chosen) + "\"\nshow 1017\nclick 2");
    d.DoModal();
    EXPECT_EQ(d.m_strOutputPath, dir.file(c.stored)) << c.chosen;
    EXPECT_EQ(s.log[1], "control 1017 text=" + jsonQuoteGbk(ui::PathToText(dir.file(c.stored))) +
                            " enabled=1 readonly=0 checked=0");
  }
  // The exchange file, also chosen in a save dialog, gets nothing appended.
  session.Play("click 1022\nfile \"" + dir.file("a/b") + "\"\nclick 2");
  dialog.DoModal();
  EXPECT_EQ(dialog.m_strCasPath, dir.file("a/b"));
}

TEST_F(CassConvertDialog, CancelledFileDialogChangesNeitherMemberNorBox) {
  session.Play("click 1014\nfile \"" + qs + R"("
type 1013 "typed"
click 1014
file-cancel
show 1013
click 2)");
  dialog.DoModal();
  EXPECT_EQ(dialog.m_strQsPath, qs);
  EXPECT_EQ(session.log[1], R"(control 1013 text="typed" enabled=1 readonly=0 checked=0)");
}

TEST_F(CassConvertDialog, BrowsingRewritesEveryBoxFromTheMembers) {
  session.Play(R"(type 1015 "typed"
type 1017 "typed too"
click 1014
file ")" + qs + R"("
show 1015
show 1017
show 1013
click 2)");
  dialog.DoModal();
  EXPECT_EQ(session.log[1], R"(control 1015 text="" enabled=1 readonly=0 checked=0)");
  EXPECT_EQ(session.log[2], R"(control 1017 text="" enabled=1 readonly=0 checked=0)");
  EXPECT_EQ(session.log[3], "control 1013 text=" + jsonQuote(qs) + " enabled=1 readonly=0 checked=0");
}

TEST_F(CassConvertDialog, EachBrowseButtonAsksForItsKindOfFile) {
  session.Play(BrowseAll() + "\nclick 2");
  dialog.DoModal();
  const auto& r = session.backend.FileRequests();
  ASSERT_EQ(r.size(), 4u);
  const struct {
    bool open;
    const char* filter;
  } expected[] = {
      {true, "(*.qs)|*.qs||"},
      {true, "(*.txt)|*.txt||"},
      {false, "data files(*.cas)|*cas||"},
      {false, "data files(*.qel)|*qel||"},
  };
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(r[i].open, expected[i].open) << i;
    EXPECT_EQ(r[i].filter, expected[i].filter) << i;
    EXPECT_EQ(r[i].flags, 0x1004u) << i;
    EXPECT_EQ(r[i].defaultExt, "") << i;
    EXPECT_EQ(r[i].fileName, "") << i;
    EXPECT_EQ(r[i].ownerTemplateId, IDD_CASS_CONVERT) << i;
  }
}

// --- Commands 10 and 20 as the host calls them --------------------------------

class CassCommands : public ::testing::Test {
 protected:
  CassCommands() : engine(dir.path()) { dir.write("parcels.qs", "\n"); }

  session::SessionOutcome Play(const std::string& utf8Script) {
    log.clear();
    session::SessionScript script;
    session::ScriptError error;
    EXPECT_TRUE(session::ParseSessionScript(utf8Script, script, error)) << error.line << ": " << error.message;
    return module::RunSession(script, engine, engine, [this](const std::string& line) { log.push_back(line); });
  }

  TempDir dir;
  FeatureFileEngine engine;
  std::vector<std::string> log;
};

TEST_F(CassCommands, CommandTwentyPlaysAsCommandTen) {
  const std::string body = "click 1014\nfile \"" + dir.file("parcels.qs") +
                           "\"\nshow 1013\nclick 1\nanswer ok\nclick 2\nend\n";
  EXPECT_EQ(Play("call 10\n" + body).exitCode, 0);
  const std::vector<std::string> ten = log;
  EXPECT_EQ(Play("call 20\n" + body).exitCode, 0);
  EXPECT_EQ(log, ten);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "dialog 1002 opened");
  EXPECT_EQ(log[2], u8"msgbox \"请将信息完整的输入！！！\" -> ok");
  EXPECT_EQ(log[3], "dialog 1002 closed 2");
}

TEST_F(CassCommands, FinishedMessageFollowsOnlyARunThatConverted) {
  dir.write("a.cas", "LINE\n123,abc\n1.5,2.5\n3.5,4.5\nnil\n");
  dir.write("parcels.txt", "\n");
  dir.write("CASSCode.txt", "123 4301\n");
  const std::string choose = "click 1014\nfile \"" + dir.file("parcels.qs") + "\"\nclick 1016\nfile \"" +
                             dir.file("parcels.txt") + "\"\nclick 1019\nfile \"" + dir.file("out") + "\"\n";
  for (const char* ordinal : {"10", "20"}) {
    // An exchange file that is not there: its own message, and no other.
    ASSERT_EQ(Play(std::string("call ") + ordinal + "\n" + choose + "click 1022\nfile \"" + dir.file("none.cas") +
                   "\"\nclick 1\nend\n")
                  .exitCode,
              0);
    std::vector<std::string> expected = {"dialog 1002 opened", "dialog 1002 closed 1",
                                         u8"msgbox \"can't find *.cas failed!!\" -> ok"};
    EXPECT_EQ(log, expected) << ordinal;
    EXPECT_FALSE(fileExists(dir.file("out.qel"))) << ordinal;

    ASSERT_EQ(Play(std::string("call ") + ordinal + "\n" + choose + "click 1022\nfile \"" + dir.file("a.cas") +
                   "\"\nclick 1\nend\nopen \"" + dir.file("out.qel") + "\"\ndump\n")
                  .exitCode,
              0);
    ASSERT_EQ(log.size(), 4u) << ordinal;
    EXPECT_EQ(log[2], u8"msgbox \"转换完毕！！\" -> ok") << ordinal;
    EXPECT_NE(log[3].find("\"name\": \"X2\""), std::string::npos) << ordinal;
    std::remove(dir.file("out.qel").c_str());
  }
}

TEST_F(CassCommands, EveryCallStartsFromTheDialogsInitialValues) {
  const std::string script = "call 20\nclick 1014\nfile \"" + dir.file("parcels.qs") +
                             "\"\nclick 2\nend\ncall 20\nshow 1013\nclick 1\nclick 2\nend\n";
  EXPECT_EQ(Play(script).exitCode, 0);
  const std::vector<std::string> expected = {
      "dialog 1002 opened",
      "dialog 1002 closed 2",
      "dialog 1002 opened",
      R"(control 1013 text="" enabled=1 readonly=0 checked=0)",
      u8"msgbox \"请将信息完整的输入！！！\" -> ok",
      "dialog 1002 closed 2",
  };
  EXPECT_EQ(log, expected);
}

TEST_F(CassCommands, ScriptsThatDoNotFitStopAtTheirLine) {
  struct Case {
    std::string script;
    int line;
    const char* reason;
  } cases[] = {
      {"call 20\nclick 1999\nend", 2, "control 1999 of dialog 1002 does not exist"},
      {"call 20\nshow 1013\nend", 3, "the script ends while dialog 1002 is open"},
      {"call 20\nclick 2\nclick 2\nend", 3, "no dialog is open: the command has returned"},
      {"call 20\nclick 2\nanswer ok\nend", 3, "no message box is open"},
      {"call 20\nfile \"x\"\nclick 2\nend", 2, "no file dialog is open"},
      {"call 20\nclick 1014\nclick 2\nend", 3, "answer it with file"},
      {"call 50\nend", 1, "command 50 works on the host's open file: open one first"},
      {"commit", 1, "commit needs an open file"},
      {"dump", 1, "dump needs an open file"},
  };
  for (const Case& c : cases) {
    const session::SessionOutcome outcome = Play(c.script);
    EXPECT_EQ(outcome.exitCode, 2) << c.script;
    EXPECT_EQ(outcome.line, c.line) << c.script;
    EXPECT_NE(outcome.message.find(c.reason), std::string::npos) << c.script << " -> " << outcome.message;
  }
}

TEST_F(CassCommands, HostSideOpensCommitsAndDumps) {
  const std::string path = dir.file("host.qel");
  EXPECT_EQ(Play("open \"" + path + "\"\ncall 20\nclick 2\nend\ncommit\ndump\n").exitCode, 0);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_NE(log[2].find("qel-dump/1"), std::string::npos);
  EXPECT_TRUE(fileExists(path));
  const std::string broken = dir.write("broken.qel", "not a feature file");
  const session::SessionOutcome outcome = Play("open \"" + broken + "\"");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.message.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace dz::test
