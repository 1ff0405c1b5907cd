#include <gtest/gtest.h>

#include "session/session_log.h"
#include "session/session_script.h"
#include "tests/ui/test_dialog.h"
#include "ui/headless/headless_window.h"
#include "ui/message_service.h"

namespace dz::session {
namespace {

using ui::HeadlessWindow;
using ui::kIdNo;
using ui::kIdOk;

SessionScript Parse(const std::string& text) {
  SessionScript script;
  ScriptError error;
  EXPECT_TRUE(ParseSessionScript(text, script, error)) << error.line << ": " << error.message;
  return script;
}

ScriptError ParseError(const std::string& text) {
  SessionScript script;
  ScriptError error;
  EXPECT_FALSE(ParseSessionScript(text, script, error)) << text;
  return error;
}

TEST(SessionScriptParse, StepsAndTheirActionsWithLineNumbers) {
  const SessionScript s = Parse(
      u8"\xEF\xBB\xBF# a session\r\n"
      "open \"data/a.qel\"   # the host's file\r\n"
      "name \"K12\"\n"
      "\n"
      "call 50\n"
      u8"  type 2031 \"点 \\\"1\\\" \\\\ C:\\dir\\x.txt\"\n"
      "  click 1\n"
      "  check 1023 off\n"
      "  select 1035 2\n"
      "  file \"C:\\a b\\c.txt\"\n"
      "  file-cancel\n"
      "  answer no\n"
      "  show 1041\n"
      "  close\n"
      "end\n"
      "commit\n"
      "dump");
  ASSERT_EQ(s.steps.size(), 5u);
  EXPECT_EQ(s.steps[0].kind, ScriptStep::Kind::Open);
  EXPECT_EQ(s.steps[0].line, 2);
  EXPECT_EQ(s.steps[0].text, "data/a.qel");
  EXPECT_EQ(s.steps[1].kind, ScriptStep::Kind::Name);
  EXPECT_EQ(s.steps[1].text, std::string("K12\0\0\0\0\0\0\0\0\0", 12));
  const ScriptStep& call = s.steps[2];
  EXPECT_EQ(call.kind, ScriptStep::Kind::Call);
  EXPECT_EQ(call.ordinal, 50);
  EXPECT_EQ(call.line, 5);
  EXPECT_EQ(call.endLine, 15);
  ASSERT_EQ(call.actions.size(), 9u);
  EXPECT_EQ(call.actions[0].kind, ScriptAction::Kind::Type);
  EXPECT_EQ(call.actions[0].id, 2031);
  EXPECT_EQ(call.actions[0].text, "点 \"1\" \\ C:\\dir\\x.txt");  // GBK
  EXPECT_EQ(call.actions[0].line, 6);
  EXPECT_EQ(call.actions[1].kind, ScriptAction::Kind::Click);
  EXPECT_EQ(call.actions[2].kind, ScriptAction::Kind::Check);
  EXPECT_FALSE(call.actions[2].on);
  EXPECT_EQ(call.actions[3].index, 2);
  EXPECT_EQ(call.actions[4].kind, ScriptAction::Kind::File);
  EXPECT_EQ(call.actions[4].text, "C:\\a b\\c.txt");
  EXPECT_EQ(call.actions[5].kind, ScriptAction::Kind::FileCancel);
  EXPECT_EQ(call.actions[6].answer, kIdNo);
  EXPECT_EQ(call.actions[7].kind, ScriptAction::Kind::Show);
  EXPECT_EQ(call.actions[8].kind, ScriptAction::Kind::Close);
  EXPECT_EQ(s.steps[3].kind, ScriptStep::Kind::Commit);
  EXPECT_EQ(s.steps[4].kind, ScriptStep::Kind::Dump);
  EXPECT_EQ(s.steps[4].line, 17);
}

TEST(SessionScriptParse, NameHexGivesTwelveRawBytes) {
  const SessionScript s = Parse("name-hex 4B31323334353637383941FF\n");
  EXPECT_EQ(s.steps[0].text, "K123456789A\xFF");
  EXPECT_EQ(Parse("name \"\"").steps[0].text, std::string(12, '\0'));
  EXPECT_EQ(Parse(u8"name \"界址点名称六\"").steps[0].text, "界址点名称六");  // 12 bytes, no zero
}

TEST(SessionScriptParse, ErrorsNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* reason;
  } cases[] = {
      {"open \"a.qel\"\nfrobnicate", 2, "unknown word 'frobnicate'"},
      {"click 1", 1, "belongs between call N and end"},
      {"call 50\nclick 1", 1, "call 50 has no end"},
      {"call 50\ncall 20\nend", 2, "cannot stand inside call 50"},
      {"end", 1, "end without call"},
      {"call 60\nend", 1, "there is no command 60"},
      {"call 50\ntype 2031 abc\nend", 2, "double quotes"},
      {"call 50\ntype 2031 \"abc\nend", 2, "no closing quote"},
      {"call 50\ntype x \"a\"\nend", 2, "expected a control id"},
      {"call 50\ntype 2031 \"\xE2\x82\xAC\xF0\x9F\x98\x80\"\nend", 2, "GBK cannot hold"},
      {"call 50\ncheck 1023 maybe\nend", 2, "on or off"},
      {"call 50\nselect 1035 -1\nend", 2, "an item index"},
      {"call 50\nanswer cancel\nend", 2, "ok, yes or no"},
      {"call 50\nfile \"\"\nend", 2, "file-cancel"},
      {"call 50\nclick 1 2\nend", 2, "expected: click ID"},
      {"name \"K1234567890AB\"", 1, "at most 12 bytes"},
      {"name-hex 4b31", 1, "24 hex digits"},
      {"name-hex 4b313500000000000000000g", 1, "24 hex digits"},
      {"\n\ncommit now", 3, "expected: commit"},
      {"open \"a\"b", 1, "followed by a space"},
  };
  for (const Case& c : cases) {
    const ScriptError e = ParseError(c.text);
    EXPECT_EQ(e.line, c.line) << c.text;
    EXPECT_NE(e.message.find(c.reason), std::string::npos) << c.text << " -> " << e.message;
  }
}

TEST(SessionLogFormat, LinesAsThePlayersPrintThem) {
  EXPECT_EQ(LogDialogOpened(1002), "dialog 1002 opened");
  EXPECT_EQ(LogDialogClosed(1002, 1), "dialog 1002 closed 1");
  EXPECT_EQ(LogDialogClosed(4052, -1), "dialog 4052 closed -1");
  EXPECT_EQ(LogMessageBox("转换完毕！！", kIdOk), u8"msgbox \"转换完毕！！\" -> ok");
  EXPECT_EQ(LogMessageBox("a\"b\\c", kIdNo), "msgbox \"a\\\"b\\\\c\" -> no");
  const char k15[12] = {'K', '1', '5'};
  EXPECT_EQ(LogName(k15), "name \"K15\" hex=4b3135000000000000000000");
  const char full[12] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L'};
  EXPECT_EQ(LogName(full), "name \"ABCDEFGHIJKL\" hex=4142434445464748494a4b4c");
}

TEST(SessionLogFormat, ControlStateThroughTheWindowInterface) {
  HeadlessWindow window(dz::test::TestDialogTemplate());
  window.ExecuteDlgInit();
  window.SetCurSel(dz::test::kCombo, 2);
  window.EnableItem(dz::test::kCombo, false);
  EXPECT_EQ(LogControl(ReadControlState(window, dz::test::kCombo)),
            R"(control 140 text="two" enabled=0 readonly=0 checked=0 items=["zero","one","two"] selected=2)");
  window.SetItemText(dz::test::kDoubleEdit, "350.5");
  window.SetReadOnly(dz::test::kDoubleEdit, true);
  EXPECT_EQ(LogControl(ReadControlState(window, dz::test::kDoubleEdit)),
            R"(control 103 text="350.5" enabled=1 readonly=1 checked=0)");
  window.CheckButton(dz::test::kCheckBox, 1);
  EXPECT_EQ(LogControl(ReadControlState(window, dz::test::kCheckBox)),
            R"(control 110 text="check" enabled=1 readonly=0 checked=1)");
}

}  // namespace
}  // namespace dz::session
