#include <gtest/gtest.h>

#include <climits>

#include "base/fixed_field.h"
#include "base/json.h"
#include "module/session_runner.h"
#include "res/resource_ids.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"
#include "textpoints/text_data_dlg.h"

namespace dz::test {
namespace {

using namespace res;

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
  static std::string ColumnSettings(const std::string& cycle = "3") {
    return "click 4146\ntype 4147 \"" + cycle + "\"\ntype 4152 \"2\"\ntype 4149 \"1\"\ntype 4150 \"2\"\ntype 4151 \"3\"\n";
  }
  std::string Browse(const std::string& path) const { return "click 2040\nfile \"" + path + "\"\n"; }
  static std::string ShowResults() { return "show 1041\nshow 1038\nshow 1039\nshow 1040\n"; }

  static std::string Control(int id, const std::string& text, int enabled, int checked = 0) {
    return "control " + std::to_string(id) + " text=" + jsonQuoteGbk(text) + " enabled=" + std::to_string(enabled) +
           " readonly=0 checked=" + std::to_string(checked);
  }
  // The four display lines of E, N, elevation and code.
  static std::vector<std::string> Results(const char* e, const char* n, const char* z, const char* code) {
    return {Control(1041, e, 0), Control(1038, n, 0), Control(1039, z, 0), Control(1040, code, 0)};
  }
  std::vector<std::string> LogAt(size_t from, size_t count) const {
    if (from + count > session.log.size()) return {};
    return std::vector<std::string>(session.log.begin() + from, session.log.begin() + from + count);
  }

  const PointRecord* Point(const char* name) const { return engine.store(file)->findPoint(NameKey::of(name)); }

  TempDir dir;
  std::string rows, columns;
  FeatureFileEngine engine;
  QelHandle file = 0;
  HeadlessSession session;
  CTextDataDlg dialog;
};

TEST_F(TextDataDialog, OpensWithTheInitialValues) {
  session.Play("show 4146\nshow 4084\nshow 2042\nshow 2044\nshow 4152\nshow 4147\nshow 1043\nshow 1042\n" +
               ShowResults() + "show 1035\nshow 1036\nclick 2");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  const std::vector<std::string> expected = {
      Control(4146, "录入竖排数据", 1, 1), Control(4084, "录入横排数据", 1, 0), Control(2042, "自动编排点号", 1, 1),
      Control(2044, "1", 0),  Control(4152, "1", 1), Control(4147, "0", 1), Control(1043, "-1", 1),
      Control(1042, "", 1),   Control(1041, "0", 0), Control(1038, "0", 0), Control(1039, "0", 0),
      Control(1040, "0", 0),
      u8R"(control 1035 text="忽略" enabled=1 readonly=0 checked=0 items=["改点名","更新","忽略"] selected=2)",
      R"(control 1036 text="" enabled=1 readonly=0 checked=0 items=[] selected=-1)",
  };
  EXPECT_EQ(LogAt(1, expected.size()), expected);
}

TEST_F(TextDataDialog, StartNumberBoxFollowsTheNumberingChoice) {
  session.Play("click 2043\nshow 2044\nclick 1037\nclick 2042\nshow 2044\nclick 2043\nselect 1035 0\nshow 2044\n"
               "click 2042\nclick 2042\nshow 2044\nclick 2043\nclick 2043\nshow 2044\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> expected = {Control(2044, "1", 1), Control(2044, "1", 0), Control(2044, "1", 1),
                                             Control(2044, "1", 0), Control(2044, "1", 1)};
  EXPECT_EQ(LogAt(1, expected.size()), expected);
}

TEST_F(TextDataDialog, RowLayoutLocksValueFieldAndCycleOnly) {
  session.Play("click 4084\nshow 4152\nshow 4147\nshow 4149\nshow 4150\nshow 4151\nshow 1043\nshow 1042\nshow 1032\n"
               "click 4146\nshow 4152\nshow 4147\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> expected = {
      Control(4152, "1", 0), Control(4147, "0", 0), Control(4149, "0", 1), Control(4150, "0", 1),
      Control(4151, "0", 1), Control(1043, "-1", 1), Control(1042, "", 1), Control(1032, "", 1),
      Control(4152, "1", 1), Control(4147, "0", 1),
  };
  EXPECT_EQ(LogAt(1, expected.size()), expected);
}

TEST_F(TextDataDialog, CancelledBrowseStillListsTheTypedFile) {
  session.Play("type 2031 \"" + columns + "\"\nclick 2040\nfile-cancel\nshow 1036\nclick 2");
  dialog.DoModal();
  EXPECT_EQ(session.log[1],
            R"(control 1036 text="" enabled=1 readonly=0 checked=0 items=["E 10","N 20","Z 0","E 11","N 21","Z 5"] selected=-1)");
  EXPECT_TRUE(session.backend.Messages().empty());
}

TEST_F(TextDataDialog, UnreadableFileIsToldAndTheListKeepsItsLines) {
  session.Play(Browse(rows) + "type 2031 \"" + dir.file("missing.txt") + "\"\nclick 2040\nfile-cancel\nshow 1036\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> shown = {"不能打开所选的文件!!"};
  EXPECT_EQ(session.backend.Messages(), shown);
  EXPECT_EQ(session.log.back(), "dialog 4052 closed 2");
  EXPECT_EQ(session.log[session.log.size() - 2],
            R"(control 1036 text="" enabled=1 readonly=0 checked=0 items=["K1,,100.5,200.25,12.3","K2,7,101,201,0"] selected=-1)");
}

TEST_F(TextDataDialog, TypedPathIsRefusedUntilAnExchangeTakesIt) {
  session.Play(RowSettings() + "type 2031 \"" + rows + "\"\nclick 1\nclick 1\nclick 1037\nclick 1\nclick 2");
  dialog.DoModal();
  const std::vector<std::string> shown = {"请选择输入的文件路径！！！", "请选择输入的文件路径！！！", "点添加完毕！！"};
  EXPECT_EQ(session.backend.Messages(), shown);
  ASSERT_NE(Point("K12"), nullptr);
  EXPECT_EQ(double{Point("K12")->east}, 100.5);
  EXPECT_NE(Point("K13"), nullptr);

  // A choice in the duplicate-name list takes every box as well.
  HeadlessSession s;
  CTextDataDlg d(engine, s.backend);
  d.m_importer.m_hFile = file;
  s.Play(RowSettings() + "type 2031 \"" + rows + "\"\nselect 1035 1\nclick 1\nclick 2");
  d.DoModal();
  const std::vector<std::string> done = {"点添加完毕！！"};
  EXPECT_EQ(s.backend.Messages(), done);
}

TEST_F(TextDataDialog, ColumnCheckShowsTheFirstPointWithAZeroElevationAs9999) {
  session.Play(Browse(columns) + ColumnSettings() + "click 1037\n" + ShowResults() + "click 2");
  dialog.DoModal();
  EXPECT_EQ(LogAt(1, 4), Results("10", "20", "9999", "0"));
}

TEST_F(TextDataDialog, RowCheckShowsAZeroElevationAsZero) {
  session.Play(Browse(rows) + RowSettings() + "type 4151 \"5\"\nclick 1037\n" + ShowResults() +
               "type 4149 \"4\"\ntype 1043 \"-1\"\nclick 1037\n" + ShowResults() + "click 2");
  dialog.DoModal();
  EXPECT_EQ(LogAt(1, 4), Results("100.5", "200.25", "12.3", "0"));
  EXPECT_EQ(LogAt(5, 4), Results("200.25", "200.25", "12.3", "-1"));

  HeadlessSession s;
  CTextDataDlg d(engine, s.backend);
  const std::string zero = dir.write("zero.txt", "P,3,5,6,0\n");
  s.Play(Browse(zero) + RowSettings() + "click 1037\n" + ShowResults() + "click 2");
  d.DoModal();
  EXPECT_EQ(std::vector<std::string>(s.log.begin() + 1, s.log.begin() + 5), Results("5", "6", "0", "3"));
}

TEST_F(TextDataDialog, ColumnCheckWithoutACycleChangesNothing) {
  session.Play(Browse(columns) + ColumnSettings() + "click 1037\ntype 4147 \"0\"\ntype 4149 \"2\"\nclick 1037\n" +
               ShowResults() + "type 4147 \"-3\"\nclick 1037\n" + ShowResults() + "click 2");
  dialog.DoModal();
  EXPECT_EQ(LogAt(1, 4), Results("10", "20", "9999", "0"));
  EXPECT_EQ(LogAt(5, 4), Results("10", "20", "9999", "0"));
}

TEST_F(TextDataDialog, ColumnCheckShowsNoCodeForALineOfNoPosition) {
  // A row check leaves the shown code 7; a cycle of 3 reads only E, N and
  // Z and keeps it; a cycle of 4 reads a fourth line that is none of them,
  // until 编码 names it.
  const std::string coded = dir.write("coded.txt", "E 10\nN 20\nZ 30\nE 11\n");
  const std::string row = dir.write("row.txt", "P,7,1,2,3\n");
  session.Play(Browse(row) + RowSettings() + "click 1037\n" + Browse(coded) + ColumnSettings() + "click 1037\n" +
               ShowResults() + "type 4147 \"4\"\nclick 1037\n" + ShowResults() + "type 1043 \"4\"\nclick 1037\n" +
               ShowResults() + "click 2");
  dialog.DoModal();
  EXPECT_EQ(LogAt(1, 4), Results("10", "20", "30", "7"));
  EXPECT_EQ(LogAt(5, 4), Results("10", "20", "30", "-1"));
  EXPECT_EQ(LogAt(9, 4), Results("10", "20", "30", "11"));  // the fourth line is the code's now
}

TEST_F(TextDataDialog, CheckReadsOnlyTheLinesTheListHolds) {
  // Two lines for a cycle of three: the elevation line is missing and the
  // shown elevation stays as an earlier check left it; an enormous cycle
  // ends with the list as well.
  const std::string two = dir.write("two.txt", "E 10\nN 20\n");
  session.Play(Browse(two) + "click 4084\ntype 4149 \"2\"\ntype 4150 \"2\"\ntype 4151 \"2\"\nclick 1037\n" +
               ColumnSettings() + "click 1037\n" + ShowResults() + "type 4147 \"2147483647\"\nclick 1037\n" +
               ShowResults() + "click 2");
  dialog.DoModal();
  EXPECT_EQ(LogAt(1, 4), Results("10", "20", "10", "-1"));
  EXPECT_EQ(LogAt(5, 4), Results("10", "20", "10", "-1"));

  // An empty list: the row check has no first line and shows nothing new.
  HeadlessSession s;
  CTextDataDlg d(engine, s.backend);
  const std::string empty = dir.write("empty.txt", "");
  s.Play(Browse(empty) + RowSettings() + "click 1037\n" + ShowResults() + "click 2");
  d.DoModal();
  EXPECT_EQ(std::vector<std::string>(s.log.begin() + 1, s.log.begin() + 5), Results("0", "0", "0", "0"));
}

TEST_F(TextDataDialog, CheckReadsALongLineWhole) {
  const std::string longLine(300, 'x');
  const std::string wide = dir.write("wide.txt", longLine + " 42.5\n" + longLine + " 43.5\n" + longLine + " 7\n");
  session.Play(Browse(wide) + ColumnSettings() + "click 1037\n" + ShowResults() + "click 4084\ntype 1042 \"\"\n" +
               "type 4149 \"2\"\ntype 4150 \"1\"\ntype 4151 \"2\"\ntype 1043 \"2\"\nclick 1037\n" + ShowResults() +
               "click 2");
  dialog.DoModal();
  EXPECT_EQ(LogAt(1, 4), Results("42.5", "43.5", "7", "0"));
  EXPECT_EQ(LogAt(5, 4), Results("42.5", "0", "42.5", "42"));
}

TEST_F(TextDataDialog, ImportLeavesTheDialogOpenWithItsList) {
  session.Play(Browse(rows) + RowSettings() + "click 1\nshow 1036\nshow 2031\nclose");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  EXPECT_EQ(session.log[2],
            R"(control 1036 text="" enabled=1 readonly=0 checked=0 items=["K1,,100.5,200.25,12.3","K2,7,101,201,0"] selected=-1)");
  ASSERT_NE(Point("K13"), nullptr);
  EXPECT_EQ(int32_t{Point("K13")->code}, 7);
  EXPECT_EQ(double{Point("K13")->elev}, 9999.0);
  EXPECT_EQ(nameText(dialog.m_importer.m_szPointName), "K14");
}

TEST_F(TextDataDialog, DuplicatePolicyComesFromTheList) {
  PointRecord taken{};
  copyName(taken.name, "K12");
  taken.east = 1;
  taken.flag = 1;
  engine.AddPoint(file, &taken, 1);
  session.Play(Browse(rows) + RowSettings() + "select 1035 1\nclick 1\nclick 2");
  dialog.DoModal();
  ASSERT_NE(Point("K12"), nullptr);
  EXPECT_EQ(double{Point("K12")->east}, 100.5);  // 更新: the existing point took the new values
  EXPECT_EQ(int{Point("K12")->flag}, 0);
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
  EXPECT_EQ(dialog.m_importer.m_nEastPos, 1);
  EXPECT_EQ(session.log[2], Control(4147, "3", 1));
  EXPECT_EQ(session.log[3], Control(4149, "1", 1));
}

// --- Command 50 as the host calls it ----------------------------------------------

class TextPointCommand : public ::testing::Test {
 protected:
  TextPointCommand() : engine(dir.path()) {
    dir.write("three.txt", "1 100 200 10\n2 101 201 11\n3 102 202 12\n");
  }

  module::SessionOutcome Play(const std::string& utf8Script) {
    log.clear();
    ui::SessionScript script;
    ui::ScriptError error;
    EXPECT_TRUE(ui::ParseSessionScript(utf8Script, script, error)) << error.line << ": " << error.message;
    return module::RunSession(script, engine, engine, [this](const std::string& line) { log.push_back(line); });
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> lines;
    for (const std::string& l : log)
      if (l.rfind("name ", 0) == 0) lines.push_back(l);
    return lines;
  }

  std::string ImportThree() const {
    return "click 2040\nfile \"" + dir.file("three.txt") +
           "\"\nclick 4084\ntype 4149 \"2\"\ntype 4150 \"3\"\ntype 4151 \"4\"\nclick 1\n";
  }

  TempDir dir;
  FeatureFileEngine engine;
  std::vector<std::string> log;
};

TEST_F(TextPointCommand, NameComesBackUnchangedWithoutAnImport) {
  ASSERT_EQ(Play("open \"" + dir.file("p.qel") + "\"\nname \"K12\"\ncall 50\nclick 2\nend\n"
                 "name-hex 4142434445464748494a4b4c\ncall 50\nclose\nend\n").exitCode, 0);
  const std::vector<std::string> expected = {"name \"K12\" hex=4b3132000000000000000000",
                                             "name \"ABCDEFGHIJKL\" hex=4142434445464748494a4b4c"};
  EXPECT_EQ(Names(), expected);
}

TEST_F(TextPointCommand, ImportsInOneDialogContinueAndTheNextNameGoesBack) {
  ASSERT_EQ(Play("open \"" + dir.file("p.qel") + "\"\nname \"1\"\ncall 50\n" + ImportThree() + "click 1\nclick 2\nend\ndump\n")
                .exitCode,
            0);
  const std::vector<std::string> expected = {"name \"10\" hex=313000000000000000000000"};
  EXPECT_EQ(Names(), expected);
  for (const char* name : {"\"1\"", "\"2\"", "\"3\"", "\"7\"", "\"8\"", "\"9\""})
    EXPECT_NE(log.back().find(std::string("{\"name\": ") + name), std::string::npos) << name;
  EXPECT_EQ(log.back().find("{\"name\": \"4\""), std::string::npos);
}

TEST_F(TextPointCommand, EveryCallStartsFromTheInitialValuesAndOnlyTheNameCarriesOver) {
  ASSERT_EQ(Play("open \"" + dir.file("p.qel") + "\"\nname \"K12\"\ncall 50\n" + ImportThree() +
                 "click 2043\nclick 2\nend\ncall 50\nshow 4084\nshow 2044\nshow 4149\nshow 1036\n" + ImportThree() +
                 "click 2\nend\n")
                .exitCode,
            0);
  const std::vector<std::string> names = {"name \"K15\" hex=4b3135000000000000000000",
                                          "name \"K18\" hex=4b3138000000000000000000"};
  EXPECT_EQ(Names(), names);
  const auto opened = std::find(log.begin() + 1, log.end(), "dialog 4052 opened");
  ASSERT_NE(opened, log.end());
  EXPECT_EQ(*(opened + 1), u8"control 4084 text=\"录入横排数据\" enabled=1 readonly=0 checked=0");
  EXPECT_EQ(*(opened + 2), "control 2044 text=\"1\" enabled=0 readonly=0 checked=0");
  EXPECT_EQ(*(opened + 3), "control 4149 text=\"0\" enabled=1 readonly=0 checked=0");
  EXPECT_EQ(*(opened + 4), "control 1036 text=\"\" enabled=1 readonly=0 checked=0 items=[] selected=-1");
}

}  // namespace
}  // namespace dz::test
