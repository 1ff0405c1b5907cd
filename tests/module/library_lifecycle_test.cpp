#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "module/library_lifecycle.h"
#include "standin/engine.h"

namespace dz::module {
namespace {

// Steps that record their order and whether the library's state was
// current when each ran; the host's own state is current around the calls.
class LibraryLifecycle : public ::testing::Test {
 protected:
  LibraryLifecycle() : engine(".") {}

  void step(const char* name) {
    calls.push_back(name);
    if (CurrentModuleState() != &LibraryModuleState()) calls.push_back(std::string("^ without the library's state"));
  }

  LibrarySteps steps() {
    LibrarySteps s;
    s.initInstance = [this] { step("initInstance"); return instanceOk; };
    s.termInstance = [this] { step("termInstance"); };
    s.initApplication = [this] { step("initApplication"); return applicationOk; };
    s.exitApplication = [this] { step("exitApplication"); };
    s.registerLibrary = [this] {
      step("registerLibrary");
      if (registerThrows) throw std::runtime_error("no memory");
      ModuleContext c;
      c.host = &engine;
      return c;
    };
    s.unregisterLibrary = [this] { step("unregisterLibrary"); };
    return s;
  }

  FeatureFileEngine engine;
  ModuleState hostState;
  std::vector<std::string> calls;
  bool instanceOk = true, applicationOk = true, registerThrows = false;
};

TEST_F(LibraryLifecycle, LoadAndUnloadRunTheirStepsInOrderUnderTheLibrarysState) {
  ModuleStateScope host(hostState);
  ASSERT_TRUE(LoadLibraryModule(steps()));
  EXPECT_EQ(CurrentModuleState(), &hostState);
  EXPECT_TRUE(LibraryModuleState().attached);
  EXPECT_EQ(LibraryModuleState().context.host, &engine);
  EXPECT_EQ(calls, (std::vector<std::string>{"initInstance", "initApplication", "registerLibrary"}));

  calls.clear();
  UnloadLibraryModule(steps());
  EXPECT_EQ(CurrentModuleState(), &hostState);
  EXPECT_FALSE(LibraryModuleState().attached);
  EXPECT_EQ(LibraryModuleState().context.host, nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"exitApplication", "termInstance", "unregisterLibrary"}));
}

TEST_F(LibraryLifecycle, AFailedStepUndoesTheStepsBeforeItAndFailsTheLoad) {
  struct Case {
    const char* behaviour;
    bool instanceOk, applicationOk, registerThrows;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"instance fails", false, true, false, {"initInstance", "termInstance"}},
      {"application fails",
       true,
       false,
       false,
       {"initInstance", "initApplication", "exitApplication", "termInstance"}},
      {"registration throws",
       true,
       true,
       true,
       {"initInstance", "initApplication", "registerLibrary", "exitApplication", "termInstance"}},
  };
  for (const Case& c : cases) {
    calls.clear();
    instanceOk = c.instanceOk;
    applicationOk = c.applicationOk;
    registerThrows = c.registerThrows;
    ModuleStateScope host(hostState);
    EXPECT_FALSE(LoadLibraryModule(steps())) << c.behaviour;
    EXPECT_EQ(CurrentModuleState(), &hostState) << c.behaviour;
    EXPECT_FALSE(LibraryModuleState().attached) << c.behaviour;
    EXPECT_EQ(calls, c.calls) << c.behaviour;
  }
}

}  // namespace
}  // namespace dz::module
