#include <gtest/gtest.h>

#include "tests/ui/headless_test_support.h"
#include "tests/ui/test_dialog.h"
#include "ui/dialog.h"

namespace dz::test {
namespace {

class DataExchange : public ::testing::Test {
 protected:
  HeadlessSession session{FindTestTemplate};
  TestDialog dialog;

  // The window state right after the action on `line` of the played lines
  // (1 for the first).
  struct Seen {
    int focus = 0;
    bool allSelected = false;
    std::string firstIntText;
  };
  Seen seen;
  void WatchLine(int line) {
    session.backend.SetObserver([this, line](const session::ScriptAction& a, ui::HeadlessWindow& w, ui::Dialog&) {
      if (a.line != line + 1) return;  // the played lines follow "call 10"
      seen.focus = w.FocusId();
      seen.allSelected = w.IsTextAllSelected(w.FocusId());
      seen.firstIntText = w.GetItemText(kFirstIntEdit);
    });
  }
};

TEST_F(DataExchange, OpeningShowsEveryMember) {
  session.Play(R"(show 101
show 102
show 103
show 110
show 120
show 121
show 140
click 2)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  const std::vector<std::string> expected = {
      "dialog 9001 opened",
      R"(control 101 text="start" enabled=1 readonly=0 checked=0)",
      R"(control 102 text="1" enabled=1 readonly=0 checked=0)",
      R"(control 103 text="9999" enabled=1 readonly=0 checked=0)",
      R"(control 110 text="check" enabled=1 readonly=0 checked=1)",
      R"(control 120 text="a" enabled=1 readonly=0 checked=0)",
      R"(control 121 text="b" enabled=1 readonly=0 checked=1)",
      R"(control 140 text="two" enabled=1 readonly=0 checked=0 items=["zero","one","two"] selected=2)",
      "dialog 9001 closed 2",
  };
  EXPECT_EQ(session.log, expected);
}

TEST_F(DataExchange, OkTakesEveryControlIntoItsMember) {
  session.Play(u8R"(type 101 "新的"
type 102 " -42 "
type 103 "350.5"
type 104 "7"
check 110 off
click 122
select 140 0
click 1)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  EXPECT_EQ(dialog.m_strText, "新的");
  EXPECT_EQ(dialog.m_nFirst, -42);
  EXPECT_EQ(dialog.m_dValue, 350.5);
  EXPECT_EQ(dialog.m_nSecond, 7);
  EXPECT_EQ(dialog.m_bCheck, 0);
  EXPECT_EQ(dialog.m_nRadio, 2);
  EXPECT_EQ(dialog.m_nCombo, 0);
  EXPECT_EQ(dialog.comboChanges, 1);
}

TEST_F(DataExchange, CancelAndCloseTakeNothing) {
  session.Play(R"(type 101 "typed"
type 102 "5"
click 2)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  EXPECT_EQ(dialog.m_strText, "start");
  EXPECT_EQ(dialog.m_nFirst, 1);

  TestDialog second;
  session.Play(R"(type 101 "typed"
close)");
  EXPECT_EQ(second.DoModal(), ui::kIdCancel);
  EXPECT_EQ(second.m_strText, "start");
}

TEST_F(DataExchange, IntegerBoxWithoutNumberStopsTheExchangeThere) {
  WatchLine(4);
  session.Play(R"(type 101 "taken"
type 102 "abc"
type 103 "2.5"
click 1
click 2)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);  // OK did not close the dialog
  EXPECT_EQ(session.backend.Messages(), std::vector<std::string>{"请输入一个整数。"});
  EXPECT_EQ(dialog.m_strText, "taken");  // exchanged before the box
  EXPECT_EQ(dialog.m_nFirst, 1);         // the box keeps the member's value
  EXPECT_EQ(dialog.m_dValue, 9999);      // after the box: not reached
  EXPECT_EQ(seen.focus, kFirstIntEdit);
  EXPECT_TRUE(seen.allSelected);
  EXPECT_EQ(seen.firstIntText, "abc");  // the box keeps what the user typed
}

TEST_F(DataExchange, EmptyNumberBoxesHoldNoNumber) {
  session.Play(R"(type 102 ""
click 1
type 102 "3"
type 103 ""
click 1
type 103 "1e3"
click 1)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  const std::vector<std::string> expected = {"请输入一个整数。", "请输入一个数字。"};
  EXPECT_EQ(session.backend.Messages(), expected);
  EXPECT_EQ(dialog.m_nFirst, 3);
  EXPECT_EQ(dialog.m_dValue, 1000);
}

TEST_F(DataExchange, HandlerGoesOnWithThePartlyTakenValues) {
  // The selection change exchanges from the controls; the bad double stops
  // it after the first integer, and the handler sees that.
  session.Play(R"(type 102 "8"
type 103 "x"
type 104 "9"
select 140 1
click 2)");
  dialog.DoModal();
  EXPECT_FALSE(dialog.comboExchangeResult);
  EXPECT_EQ(dialog.m_nFirst, 8);
  EXPECT_EQ(dialog.m_nSecond, 2);
  EXPECT_EQ(dialog.m_nCombo, 2);
  EXPECT_EQ(session.backend.Messages(), std::vector<std::string>{"请输入一个数字。"});
}

TEST_F(DataExchange, RadioGroupRunsToTheNextGroupStart) {
  dialog.m_nRadio = 2;
  session.Play(R"(show 122
show 125
click 125
click 1)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  // The radio past the label is in the group; the one past the group start is not.
  EXPECT_EQ(session.log[1], R"(control 122 text="c" enabled=1 readonly=0 checked=1)");
  EXPECT_EQ(session.log[2], R"(control 125 text="later" enabled=1 readonly=0 checked=0)");
  EXPECT_EQ(dialog.m_nRadio, 2);
}

TEST_F(DataExchange, OutOfRangeValuesShowNothingSelected) {
  dialog.m_nRadio = 7;
  dialog.m_nCombo = 5;
  dialog.m_bCheck = 9;
  session.Play(R"(show 120
show 121
show 122
show 140
click 1)");
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  EXPECT_EQ(session.log[1], R"(control 120 text="a" enabled=1 readonly=0 checked=0)");
  EXPECT_EQ(session.log[3], R"(control 122 text="c" enabled=1 readonly=0 checked=0)");
  EXPECT_EQ(session.log[4], R"(control 140 text="" enabled=1 readonly=0 checked=0 items=["zero","one","two"] selected=-1)");
  // Taken back: no radio checked is -1, no selection is -1.
  EXPECT_EQ(dialog.m_nRadio, -1);
  EXPECT_EQ(dialog.m_nCombo, -1);
  EXPECT_EQ(dialog.m_bCheck, 0);
}

TEST_F(DataExchange, BoundControlsReachTheirBoxesWhileTheDialogIsOpen) {
  int added = -2;
  session.backend.SetObserver([&](const session::ScriptAction& a, ui::HeadlessWindow&, ui::Dialog&) {
    if (a.kind == session::ScriptAction::Kind::Click && a.id == kButton) {
      added = dialog.m_lbList.AddString("line");
      dialog.m_lbList.AddString("more");
      dialog.m_lbList.SetCurSel(1);
    }
  });
  session.Play(R"(click 160
show 150
click 2)");
  EXPECT_FALSE(dialog.m_lbList.IsBound());
  dialog.DoModal();
  EXPECT_EQ(added, 1);
  EXPECT_EQ(session.log[1], R"(control 150 text="" enabled=1 readonly=0 checked=0 items=["first","line","more"] selected=1)");
  EXPECT_EQ(dialog.buttonClicks, 1);
  // Closed: the control object comes unbound and does nothing.
  EXPECT_FALSE(dialog.m_lbList.IsBound());
  EXPECT_EQ(dialog.m_lbList.AddString("late"), ui::kCbErr);
  EXPECT_EQ(dialog.m_lbList.GetCount(), ui::kCbErr);
}

TEST_F(DataExchange, HandlerTableDispatchesOnlyMappedNotifications) {
  session.Play(R"(type 101 "x"
click 160
click 160
select 150 0
click 2)");
  try {
    dialog.DoModal();
  } catch (const session::ScriptMismatch& m) {
    FAIL() << m.error.line << ": " << m.error.message;
  }
  EXPECT_EQ(dialog.buttonClicks, 2);
  EXPECT_EQ(dialog.listChanges, 1);
  EXPECT_EQ(dialog.comboChanges, 0);
}

TEST(DialogFramework, WithoutServicesOrTemplateTheDialogIsNotCreated) {
  TestDialog noServices;
  EXPECT_EQ(noServices.DoModal(), -1);
  HeadlessSession session([](int) -> const ui::DialogTemplate* { return nullptr; });
  TestDialog noTemplate;
  EXPECT_EQ(noTemplate.DoModal(), -1);
  EXPECT_TRUE(session.log.empty());
}

TEST(DialogFramework, ExchangeWithAControlTheTemplateLacksIsAProgrammingError) {
  struct Broken : ui::Dialog {
    Broken() : ui::Dialog(kTestDialogId) {}
    void DoDataExchange(ui::DataExchange* pDX) override {
      std::string s;
      ui::DDX_Text(pDX, 4242, s);
    }
  };
  HeadlessSession session{FindTestTemplate};
  session.Play("click 2");
  Broken broken;
  EXPECT_THROW(broken.DoModal(), std::logic_error);
  EXPECT_EQ(session.backend.ActiveWindow(), nullptr);
}

}  // namespace
}  // namespace dz::test
