#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "module/command_frame.h"
#include "module/commands.h"
#include "module/module_state.h"
#include "res/dialog_templates.h"
#include "session/command_table.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"

namespace dz::module {
namespace {

// The host's own state, current while it calls a command.
class ModuleFrame : public ::testing::Test {
 protected:
  ModuleFrame() : engine("."), backend({}, res::FindDialogTemplate) {
    context.host = &engine;
    context.ui = *backend.Services();
    context.unexpectedFailure = [this](const std::string& what) { failures.push_back(what); };
  }

  FeatureFileEngine engine;
  session::HeadlessBackend backend;
  ModuleContext context;
  std::vector<std::string> failures;
  ModuleState hostState;
};

TEST_F(ModuleFrame, ScopeRestoresTheCallersStateOnEveryWayOut) {
  ModuleState outer, inner;
  EXPECT_EQ(CurrentModuleState(), nullptr);
  {
    ModuleStateScope a(outer);
    EXPECT_EQ(CurrentModuleState(), &outer);
    EXPECT_EQ(ui::CurrentServices(), &outer.context.ui);
    {
      ModuleStateScope b(inner);
      EXPECT_EQ(CurrentModuleState(), &inner);
      EXPECT_EQ(ui::CurrentServices(), &inner.context.ui);
    }
    EXPECT_EQ(CurrentModuleState(), &outer);
    EXPECT_EQ(ui::CurrentServices(), &outer.context.ui);
    try {
      ModuleStateScope c(inner);
      throw std::runtime_error("out");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(CurrentModuleState(), &outer);
    EXPECT_EQ(ui::CurrentServices(), &outer.context.ui);
  }
  EXPECT_EQ(CurrentModuleState(), nullptr);
  EXPECT_EQ(ui::CurrentServices(), nullptr);
}

TEST_F(ModuleFrame, WorkRunsWithTheLibrarysStateAndReturnsTheCallers) {
  ModuleAttachment attached(context);
  ModuleStateScope host(hostState);
  ModuleState* during = nullptr;
  HostLibrary* hostLibrary = nullptr;
  RunCommandFrame([&](ModuleContext& c) {
    during = CurrentModuleState();
    hostLibrary = c.host;
  });
  EXPECT_EQ(during, &LibraryModuleState());
  EXPECT_EQ(hostLibrary, &engine);
  EXPECT_EQ(CurrentModuleState(), &hostState);
  EXPECT_EQ(ui::CurrentServices(), &hostState.context.ui);
}

TEST_F(ModuleFrame, ExceptionsStopAtTheFrameAndAreTold) {
  ModuleAttachment attached(context);
  ModuleStateScope host(hostState);
  RunCommandFrame([](ModuleContext&) { throw std::runtime_error("disk gone"); });
  EXPECT_EQ(CurrentModuleState(), &hostState);
  RunCommandFrame([](ModuleContext&) { throw 42; });
  EXPECT_EQ(CurrentModuleState(), &hostState);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0], "disk gone");
  EXPECT_NE(failures[1].find("not a std::exception"), std::string::npos);
}

TEST_F(ModuleFrame, NothingRunsWithoutAnAttachedModule) {
  ModuleStateScope host(hostState);
  bool ran = false;
  RunCommandFrame([&](ModuleContext&) { ran = true; });
  EXPECT_FALSE(ran);
  EXPECT_EQ(CurrentModuleState(), &hostState);
  {
    ModuleAttachment attached(context);
    EXPECT_EQ(CurrentModuleState(), &hostState);  // attaching gives the caller's state back too
  }
  RunCommandFrame([&](ModuleContext&) { ran = true; });
  EXPECT_FALSE(ran);
}

TEST_F(ModuleFrame, CommandsGiveTheCallersStateBackOnEveryWayOut) {
  test::TempDir dir;
  const std::string qs = dir.write("a.qs", "\n"), txt = dir.write("a.txt", "\n");
  const std::string confirm = "click 1014\nfile \"" + qs + "\"\nclick 1016\nfile \"" + txt +
                              "\"\nclick 1022\nfile \"a.cas\"\nclick 1019\nfile \"out\"\nclick 1";
  const std::string sessions[] = {
      "click 2",                     // cancel
      "click 1\nanswer ok\nclose",   // the incomplete-input message, then the close box
      confirm,                       // confirmed
      "click 1014",                  // the script ends in a file dialog: an exception ends the command
  };
  ModuleStateScope host(hostState);
  for (const std::string& lines : sessions) {
    for (void (*command)() : {&CmdConvertCass, &CmdConvertCassLegacy}) {
      session::HeadlessBackend b({}, res::FindDialogTemplate);
      ModuleContext c = context;
      c.ui = *b.Services();
      ModuleAttachment attached(c);
      b.BeginActions(test::Actions(lines), 99);
      command();
      EXPECT_EQ(b.Failed(), lines == "click 1014") << lines << ": " << b.Failure().message;
      EXPECT_EQ(CurrentModuleState(), &hostState) << lines;
      EXPECT_EQ(ui::CurrentServices(), &hostState.context.ui) << lines;
    }
  }
  EXPECT_EQ(failures.size(), 2u);  // the two mismatches reached the frames
}

TEST_F(ModuleFrame, DialogCommandsGiveTheCallersStateBackOnEveryWayOut) {
  struct Way {
    int ordinal;
    const char* lines;
    bool mismatch;
  } ways[] = {
      {30, "click 2", false},                       // cancel
      {30, "click 1\nanswer ok\nclose", false},     // a message, then the close box
      {30, "click 1027", true},                     // the script ends in a file dialog
      {40, "click 2", false},
      {40, "click 1", false},                       // confirmed: attaches (to nothing) and closes
      {40, "show 9999", true},                      // a control the dialog does not have
      {50, "click 1\nanswer ok\nclick 2", false},   // the missing-path message, then 退  出
      {50, "close", false},
      {50, "click 1037\nclick 1", true},            // the script ends with the dialog open
  };
  ModuleStateScope host(hostState);
  for (const Way& way : ways) {
    session::HeadlessBackend b({}, res::FindDialogTemplate);
    ModuleContext c = context;
    c.ui = *b.Services();
    ModuleAttachment attached(c);
    b.BeginActions(test::Actions(way.lines), 99);
    char name[12] = {'K', '1'};
    InvokeCommand(way.ordinal, 1, name);
    EXPECT_EQ(b.Failed(), way.mismatch) << way.ordinal << ": " << way.lines << ": " << b.Failure().message;
    EXPECT_EQ(CurrentModuleState(), &hostState) << way.ordinal << ": " << way.lines;
    EXPECT_EQ(ui::CurrentServices(), &hostState.context.ui) << way.ordinal << ": " << way.lines;
  }
  EXPECT_EQ(failures.size(), 3u);  // the three mismatches reached the frames
}

// The module calls its entry points as the host calls the exports, by the
// command table; each opens the dialog the table names.
TEST_F(ModuleFrame, EachCommandOfTheTableOpensItsDialog) {
  ModuleStateScope host(hostState);
  for (const session::Command& command : session::kCommands) {
    std::vector<std::string> log;
    session::HeadlessBackend b([&log](const std::string& line) { log.push_back(line); }, res::FindDialogTemplate);
    ModuleContext c = context;
    c.ui = *b.Services();
    ModuleAttachment attached(c);
    b.BeginActions(test::Actions("close"), 99);
    char name[12] = {'K', '1'};
    EXPECT_TRUE(InvokeCommand(command.ordinal, 1, name));
    EXPECT_FALSE(b.Failed()) << command.ordinal << ": " << b.Failure().message;
    ASSERT_FALSE(log.empty()) << command.ordinal;
    EXPECT_EQ(log.front(), "dialog " + std::to_string(command.dialog) + " opened") << command.ordinal;
  }
  EXPECT_FALSE(InvokeCommand(60, 1, nullptr));
  EXPECT_TRUE(failures.empty());
}

TEST(CommandArguments, HandleIsTheLowSixteenBits) {
  EXPECT_EQ(HandleFromArgument(5), 5);
  EXPECT_EQ(HandleFromArgument(0x12340005), 5);
  EXPECT_EQ(HandleFromArgument(static_cast<int>(0xFFFF0007u)), 7);
  EXPECT_EQ(HandleFromArgument(0x7FFF), 32767);
  EXPECT_EQ(HandleFromArgument(0x0001FFFF), -1);
}

TEST_F(ModuleFrame, PointNameComesBackInExactlyTwelveZeroFilledBytes) {
  ModuleAttachment attached(context);
  // The dialog closed at once, without an import.
  auto exitAtOnce = [this] { backend.BeginActions(test::Actions("click 2"), 99); };
  char buffer[16];
  std::memcpy(buffer, "K12\0garbage!tail", 16);
  exitAtOnce();
  CmdReadTextPoints(0x10001, buffer);
  EXPECT_EQ(std::string(buffer, 16), std::string("K12\0\0\0\0\0\0\0\0\0tail", 16));
  // A name of 12 bytes has no terminator and comes back as it was.
  std::memcpy(buffer, "ABCDEFGHIJKLtail", 16);
  exitAtOnce();
  CmdReadTextPoints(1, buffer);
  EXPECT_EQ(std::string(buffer, 16), "ABCDEFGHIJKLtail");
  exitAtOnce();
  CmdReadTextPoints(1, nullptr);  // no buffer: nothing read or written
  EXPECT_FALSE(backend.Failed()) << backend.Failure().message;
  EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace dz::module
