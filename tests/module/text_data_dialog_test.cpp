#include <gtest/gtest.h>

#include <optional>

#include "base/fixed_field.h"
#include "base/json.h"
#include "module/session_runner.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"
#include "textpoints/text_data_dlg.h"

namespace dz::test {
namespace {

// The dialog on the headless backend over a fresh host file, with a
// comma-separated file of two points and a file of one value a line.
class TextDataDialog : public ::testing::Test {
 protected:
  TextDataDialog()
      : rows(dir.write("rows.txt", "K1,,100.5,200.25,12.3\r\nK2,7,101,201,0\r\n")),
        columns(dir.write("columns.txt", "E 10\nN 20\nZ 0\nE 11\nN 21\nZ 5\n")),
        engine(dir.path()),
        dialog(engine, session.backend) {
    file = engine.OpenFeatureFile(dir.file("points.qel").c_str());
    dialog.m_importer.m_hFile = file;
    copyName(dialog.m_importer.m_szPointName, "K12");
  }

  // Row layout, separator ",", E 3, N 4, 高程 5, 编码 2.
  static std::string RowSettings() {
    return "click 4084\ntype 1042 \",\"\ntype 4149 \"3\"\ntype 4150 \"4\"\ntype 4151 \"5\"\ntype 1043 \"2\"\n";
  }
  // Column layout, 循环数 3, 有效数 2, E 1, N 2, 高程 3.
  static std::string ColumnSettings() {
    return "click 4146\ntype 4147 \"3\"\ntype 4152 \"2\"\ntype 4149 \"1\"\ntype 4150 \"2\"\ntype 4151 \"3\"\n";
  }
  static std::string Browse(const std::string& path) { return "click 2040\nfile \"" + path + "\"\n"; }
  // A check, and the four result boxes shown.
  static std::string Check() { return "click 1037\nshow 1041\nshow 1038\nshow 1039\nshow 1040\n"; }

  static std::string Control(int id, const std::string& text, int enabled) {
    return "control " + std::to_string(id) + " text=" + jsonQuoteGbk(text) + " enabled=" + std::to_string(enabled) +
           " readonly=0 checked=0";
  }
  static std::vector<std::string> Results(const char* e, const char* n, const char* z, const char* code) {
    return {Control(1041, e, 0), Control(1038, n, 0), Control(1039, z, 0), Control(1040, code, 0)};
  }
  // The results of the `n`-th check (from 0) in `log`.
  static std::vector<std::string> Shown(const std::vector<std::string>& log, size_t n) {
    if (1 + 4 * (n + 1) > log.size()) return {};
    return std::vector<std::string>(log.begin() + 1 + 4 * n, log.begin() + 1 + 4 * (n + 1));
  }

  std::optional<PointRecord> Point(const char* name) const { return engine.store(file)->findPoint(NameKey::of(name)); }

  TempDir dir;
  std::string rows, columns;
  FeatureFileEngine engine;
  QelHandle file = 0;
  HeadlessSession session;
  CTextDataDlg dialog;
};

TEST_F(TextDataDialog, RadioButtonsOnlyEnableAndDisable) {
  // However the two choices alternate, with exchanges between them.
  session.Play("show 2044\nclick 2043\nshow 2044\nclick 1037\nclick 2042\nshow 2044\nclick 2043\nselect 1035 0\n"
               "click 2043\nshow 2044\nclick 2042\nclick 2042\nshow 2044\n"
               "click 4084\nshow 4152\nshow 4147\nshow 4149\nclick 4146\nshow 4152\nshow 4147\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> expected = {
      "dialog 4052 opened",  Control(2044, "1", 0), Control(2044, "1", 1), Control(2044, "1", 0),
      Control(2044, "1", 1), Control(2044, "1", 0), Control(4152, "1", 0), Control(4147, "0", 0),
      Control(4149, "0", 1), Control(4152, "1", 1), Control(4147, "0", 1), "dialog 4052 closed 2",
  };
  EXPECT_EQ(session.log, expected);
}

TEST_F(TextDataDialog, UnreadableFileIsToldAndTheListKeepsItsLines) {
  session.Play(Browse(rows) + "type 2031 \"" + dir.file("missing.txt") + "\"\nclick 2040\nfile-cancel\nshow 1036\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> shown = {"不能打开所选的文件!!"};
  EXPECT_EQ(session.backend.Messages(), shown);
  EXPECT_EQ(session.log[2],
            R"(control 1036 text="" enabled=1 readonly=0 checked=0 items=["K1,,100.5,200.25,12.3","K2,7,101,201,0"] selected=-1)");
}

TEST_F(TextDataDialog, ATypedChinesePathNamesItsFile) {
  // The box holds GBK; the path is opened in the platform's form.
  const std::string chinese = dir.write(u8"点.txt", "P1,,1,2,3\n");
  session.Play("type 2031 \"" + chinese + "\"\nclick 2040\nfile-cancel\nshow 2031\nshow 1036\n" + RowSettings() +
               "click 1\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> shown = {"点添加完毕！！"};
  EXPECT_EQ(session.backend.Messages(), shown);
  EXPECT_EQ(session.log[1], "control 2031 text=\"" + chinese + "\" enabled=1 readonly=0 checked=0");
  EXPECT_EQ(session.log[2], R"(control 1036 text="" enabled=1 readonly=0 checked=0 items=["P1,,1,2,3"] selected=-1)");
  EXPECT_EQ(dialog.m_importer.m_strPath, chinese);
}

TEST_F(TextDataDialog, TypedPathImportsOnlyAfterAnExchangeTookIt) {
  // 检  验 and a choice in the duplicate list take the boxes; 数据录入
  // refused for an empty stored path takes nothing.
  for (const char* exchange : {"click 1037\n", "select 1035 1\n"}) {
    HeadlessSession s;
    CTextDataDlg d(engine, s.backend);
    d.m_importer.m_hFile = file;
    s.Play(RowSettings() + "type 2031 \"" + rows + "\"\nclick 1\nclick 1\n" + exchange + "click 1\nclick 2");
    d.DoModal();
    const std::vector<std::string> shown = {"请选择输入的文件路径！！！", "请选择输入的文件路径！！！", "点添加完毕！！"};
    EXPECT_EQ(s.backend.Messages(), shown) << exchange;
  }
  EXPECT_TRUE(Point("1").has_value());  // the second point, named from the empty base
}

TEST_F(TextDataDialog, ZeroElevationShowsAs9999InTheColumnLayoutOnly) {
  const std::string zero = dir.write("zero.txt", "P,3,5,6,0\n");
  session.Play(Browse(columns) + ColumnSettings() + Check() + Browse(zero) + RowSettings() + Check() + "click 2");
  dialog.DoModal();
  EXPECT_EQ(Shown(session.log, 0), Results("10", "20", "9999", "0"));
  EXPECT_EQ(Shown(session.log, 1), Results("5", "6", "0", "3"));
}

TEST_F(TextDataDialog, ColumnCheckReadsTheLinesOfOneCycle) {
  // A row check leaves the shown code 7. A cycle of 0 changes nothing; a
  // cycle of 3 reads E, N and Z and keeps the code; a cycle of 4 reads a
  // fourth line that is none of them (code −1) until 编码 names it.
  const std::string coded = dir.write("coded.txt", "E 10\nN 20\nZ 30\nE 11\n");
  const std::string row = dir.write("row.txt", "P,7,1,2,3\n");
  session.Play(Browse(row) + RowSettings() + Check() + Browse(coded) + ColumnSettings() + "type 4147 \"0\"\n" + Check() +
               "type 4147 \"3\"\n" + Check() + "type 4147 \"4\"\n" + Check() + "type 1043 \"4\"\n" + Check() + "click 2");
  dialog.DoModal();
  EXPECT_EQ(Shown(session.log, 0), Results("1", "2", "3", "7"));
  EXPECT_EQ(Shown(session.log, 1), Results("1", "2", "3", "7"));
  EXPECT_EQ(Shown(session.log, 2), Results("10", "20", "30", "7"));
  EXPECT_EQ(Shown(session.log, 3), Results("10", "20", "30", "-1"));
  EXPECT_EQ(Shown(session.log, 4), Results("10", "20", "30", "11"));
}

TEST_F(TextDataDialog, CheckReadsOnlyTheLinesTheListHoldsAndEachWhole) {
  // Two lines for a cycle of three: the elevation line is missing, and the
  // shown elevation stays as the row check before left it; an enormous
  // cycle ends with the list as well. A line beyond 255 bytes is read whole.
  const std::string two = dir.write("two.txt", "E 10\nN 20\n");
  const std::string wide = dir.write("wide.txt", std::string(300, 'x') + " 42.5\n");
  session.Play(Browse(two) + "click 4084\ntype 4149 \"2\"\ntype 4150 \"2\"\ntype 4151 \"2\"\nclick 1037\n" +
               ColumnSettings() + Check() + "type 4147 \"2147483647\"\n" + Check() + Browse(wide) + Check() +
               "click 2");
  dialog.DoModal();
  EXPECT_EQ(Shown(session.log, 0), Results("10", "20", "10", "-1"));
  EXPECT_EQ(Shown(session.log, 1), Results("10", "20", "10", "-1"));
  EXPECT_EQ(Shown(session.log, 2), Results("42.5", "20", "10", "-1"));
}

TEST_F(TextDataDialog, AnImportTakesTheBoxesAndTheDuplicateChoice) {
  PointRecord taken{};
  copyName(taken.name, "K12");
  taken.flag = 1;
  engine.AddPoint(file, &taken, 1);
  session.Play(Browse(rows) + RowSettings() + "select 1035 1\nclick 1\nclick 2");
  dialog.DoModal();
  EXPECT_EQ(double{Point("K12")->east}, 100.5);  // 更新: the existing point took the new values
  EXPECT_EQ(int{Point("K12")->flag}, 0);
  EXPECT_EQ(int32_t{Point("K13")->code}, 7);
  EXPECT_EQ(nameText(dialog.m_importer.m_szPointName), "K14");
}

TEST_F(TextDataDialog, NumberBoxWithoutANumberStopsTheExchangeThere) {
  // 高程 is taken before 循环数, E after it: the check goes on with the new
  // elevation position and the old E position, and shows the members.
  session.Play(Browse(columns) + ColumnSettings() + "click 1037\ntype 4151 \"1\"\ntype 4147 \"x\"\ntype 4149 \"3\"\n" +
               "click 1037\nshow 4147\nshow 4149\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> shown = {"请输入一个整数。"};
  EXPECT_EQ(session.backend.Messages(), shown);
  EXPECT_EQ(dialog.m_importer.m_nElevPos, 1);
  EXPECT_EQ(session.log[2], Control(4147, "3", 1));
  EXPECT_EQ(session.log[3], Control(4149, "1", 1));
}

// --- Command 50 as the host calls it ----------------------------------------------

TEST(TextPointCommand, OneDialogContinuesItsNamesAndTheNextCallStartsAfresh) {
  TempDir dir;
  FeatureFileEngine engine(dir.path());
  const std::string three = dir.write("three.txt", "1 100 200 10\n2 101 201 11\n3 102 202 12\n");
  const std::string import = "click 2040\nfile \"" + three +
                             "\"\nclick 4084\ntype 4149 \"2\"\ntype 4150 \"3\"\ntype 4151 \"4\"\nclick 1\n";
  session::SessionScript script;
  session::ScriptError error;
  ASSERT_TRUE(session::ParseSessionScript("open \"" + dir.file("p.qel") + "\"\nname \"1\"\ncall 50\n" + import +
                                         "click 1\nclick 2043\nclick 2\nend\ncall 50\nshow 4084\nshow 2044\n"
                                         "show 4149\nshow 1036\n" + import + "click 2\nend\n",
                                     script, error))
      << error.message;
  std::vector<std::string> log;
  ASSERT_EQ(module::RunSession(script, engine, engine, [&](const std::string& l) { log.push_back(l); }).exitCode, 0);
  // Both imports of the first call draw from one counter: 1 2 3, then 7 8 9
  // from the base 4; the second call starts from the base 10 alone.
  const FeatureStore* store = engine.store(1);
  ASSERT_NE(store, nullptr);
  std::vector<std::string> names;
  for (const PointRecord& p : store->points()) names.push_back(nameText(p.name));
  const std::vector<std::string> expected = {"1", "2", "3", "7", "8", "9", "10", "11", "12"};
  EXPECT_EQ(names, expected);
  const std::vector<std::string> secondCall = {
      "dialog 4052 opened",
      u8"control 4084 text=\"录入横排数据\" enabled=1 readonly=0 checked=0",
      "control 2044 text=\"1\" enabled=0 readonly=0 checked=0",
      "control 4149 text=\"0\" enabled=1 readonly=0 checked=0",
      "control 1036 text=\"\" enabled=1 readonly=0 checked=0 items=[] selected=-1",
  };
  const auto second = std::find(log.begin() + 1, log.end(), "dialog 4052 opened");
  ASSERT_LE(second + 5, log.end());
  EXPECT_EQ(std::vector<std::string>(second, second + 5), secondCall);
  EXPECT_EQ(log[log.size() - 1], "name \"13\" hex=313300000000000000000000");
}

}  // namespace
}  // namespace dz::test
