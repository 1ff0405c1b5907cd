#include <gtest/gtest.h>

#include <cstdio>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/json.h"
#include "epsw/epsw_convert_dlg.h"
#include "epsw/epsw_convert_ids.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"

namespace dz::test {
namespace {

// The dialog on the headless backend over the stand-in engine, with a .cor
// file of one circle (C1, C2), a .not file and the code table.
class EpswConvertDialog : public ::testing::Test {
 protected:
  EpswConvertDialog()
      : cor(dir.write("a.cor", "4101 2 4 $pool\nC1 100 200 9 0 0\nC2 110 200 9 0 0\n")),
        note(dir.write("a.not", "1 name\n100 200 0 0 2\nkind 1\n")),
        out(dir.file("out.qel")),
        engine(dir.path()),
        dialog(engine, session.backend) {
    dir.write("EPSWconvert.txt", "4101 8201 pool\n");
  }

  std::string BrowseAll() const {
    return "click 1027\nfile \"" + cor + "\"\nclick 1028\nfile \"" + note + "\"\nclick 1030\nfile \"" + out + "\"";
  }
  static std::string Control(int id, const std::string& text, int enabled, int readOnly, int checked = 0) {
    return "control " + std::to_string(id) + " text=" + jsonQuoteGbk(text) + " enabled=" + std::to_string(enabled) +
           " readonly=" + std::to_string(readOnly) + " checked=" + std::to_string(checked);
  }

  TempDir dir;
  std::string cor, note, out;
  FeatureFileEngine engine;
  HeadlessSession session;
  CEpswConvertDlg dialog;
};

TEST_F(EpswConvertDialog, TicksLockTheirFilesAndKeepTheirPaths) {
  // The opening follows the members: a cleared tick starts locked.
  dialog.m_converter.m_bConvertNot = 0;
  session.Play("show 1024\nshow 1026\nshow 1028\nclick 1027\nfile \"" + cor + R"("
check 1023 off
show 1025
show 1027
check 1023 on
check 1023 off
check 1023 on
show 1025
show 1027
click 2)");
  dialog.DoModal();
  const std::vector<std::string> expected = {
      "dialog 1003 opened",          Control(1024, "Not文件路径", 1, 0), Control(1026, "", 1, 1),
      Control(1028, "浏览", 0, 0),   Control(1025, cor, 1, 1),          Control(1027, "浏览", 0, 0),
      Control(1025, cor, 1, 0),      Control(1027, "浏览", 1, 0),       "dialog 1003 closed 2",
  };
  EXPECT_EQ(session.log, expected);
  EXPECT_EQ(dialog.m_converter.m_bConvertCor, 1);
  EXPECT_EQ(dialog.m_converter.m_strCorPath, cor);
}

TEST_F(EpswConvertDialog, TypedPathsAreNotUsedAndBrowsingRewritesThem) {
  session.Play("type 1025 \"" + cor + "\"\ntype 1026 \"" + note + "\"\ntype 1029 \"" + out + "\"\nclick 1\n" +
               "click 1027\nfile \"" + cor + "\"\nshow 1026\nshow 1029\nclick 1\nclick 2");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  const std::vector<std::string> shown = {"请输入Cor文件路径！！", "请输入Not文件路径！！"};
  EXPECT_EQ(session.backend.Messages(), shown);
  EXPECT_EQ(session.log[2], Control(1026, "", 1, 0));
  EXPECT_EQ(session.log[3], Control(1029, "", 1, 0));
  EXPECT_FALSE(fileExists(out));
}

TEST_F(EpswConvertDialog, OutputGetsTheHostExtensionUnlessItsTextIsThere) {
  const struct {
    const char* chosen;
    const char* stored;
  } cases[] = {{"C:\\a\\b", "C:\\a\\b.qel"}, {"C:\\a.qel.bak", "C:\\a.qel.bak"}, {"C:\\A.QEL", "C:\\A.QEL.qel"}};
  for (const auto& c : cases) {
    HeadlessSession s;
    CEpswConvertDlg d(engine, s.backend);
    s.Play(std::string("click 1030\nfile \"") + c.chosen + "\"\nshow 1029\nclick 2");
    d.DoModal();
    EXPECT_EQ(s.log[1], Control(1029, c.stored, 1, 0)) << c.chosen;
  }
  // The input files get nothing appended; a cancelled file dialog changes
  // neither member nor box.
  session.Play(BrowseAll() + "\ntype 1025 \"typed\"\nclick 1027\nfile-cancel\nclick 1030\nfile-cancel\nshow 1025\nclick 2");
  dialog.DoModal();
  EXPECT_EQ(dialog.m_converter.m_strCorPath, cor);
  EXPECT_EQ(dialog.m_converter.m_strNotPath, note);
  EXPECT_EQ(dialog.m_converter.m_strOutputPath, out);
  EXPECT_EQ(session.log[1], Control(1025, "typed", 1, 0));
}

TEST_F(EpswConvertDialog, EachBrowseButtonAsksForItsKindOfFile) {
  session.Play(BrowseAll() + "\nclick 2");
  dialog.DoModal();
  const auto& r = session.backend.FileRequests();
  ASSERT_EQ(r.size(), 3u);
  const struct {
    bool open;
    const char* filter;
  } expected[] = {{true, "(*.cor)|*.cor||"}, {true, "(*.not)|*.not||"}, {false, "data files(*.qel)|*qel||"}};
  for (size_t i = 0; i < r.size(); ++i) {
    EXPECT_EQ(r[i].open, expected[i].open) << i;
    EXPECT_EQ(r[i].filter, expected[i].filter) << i;
    EXPECT_EQ(r[i].flags, 0x1004u) << i;
    EXPECT_EQ(r[i].defaultExt + r[i].fileName, "") << i;
    EXPECT_EQ(r[i].ownerTemplateId, IDD_EPSW_CONVERT) << i;
  }
}

TEST_F(EpswConvertDialog, SecondPressGoesOnWithTheNumbersOfTheFirst) {
  // The .not file disappears after it was chosen: the first press writes the
  // .cor data, tells the missing file and stays open; once the file is back,
  // the second press names the next feature 2 and the next point T2.
  session.Play(BrowseAll() + "\nclick 1\nclick 1");
  session.backend.SetObserver([&](const session::ScriptAction& action, ui::HeadlessWindow&, ui::Dialog&) {
    if (action.kind != session::ScriptAction::Kind::Click) return;
    if (action.id == IDC_EPSW_BROWSE_OUTPUT) std::remove(note.c_str());
    if (action.id == ui::kIdOk && !fileExists(note)) dir.write("a.not", "1 name\n100 200 0 0 2\nkind 1\n");
  });
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  const std::vector<std::string> shown = {"can't find *.not failed!!", "数据转换完毕！！！"};
  EXPECT_EQ(session.backend.Messages(), shown);
  FeatureFileEngine reader(".");
  const FeatureStore* written = reader.store(reader.OpenFeatureFile(out.c_str()));
  ASSERT_NE(written, nullptr);
  ASSERT_EQ(written->features().size(), 2u);
  EXPECT_EQ(nameText(written->features()[0].header.name), "1");
  EXPECT_EQ(int32_t{written->features()[0].header.code}, 8201);
  EXPECT_EQ(nameText(written->features()[1].header.name), "2");
  EXPECT_EQ(nameText(written->features()[1].refs()[0].name), "T2");
  EXPECT_EQ(written->texts().size(), 1u);
}

}  // namespace
}  // namespace dz::test
