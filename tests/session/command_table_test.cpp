#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/callconv.h"
#include "session/command_table.h"
#include "session/session_script.h"
#include "tests/support/test_files.h"

namespace dz::session {
namespace {

std::vector<std::string> gCalls;

void DZ_CALLCONV plainEntry() { gCalls.push_back("plain"); }
void DZ_CALLCONV handleEntry(int handle) { gCalls.push_back("handle " + std::to_string(handle)); }
void DZ_CALLCONV handleNameEntry(int handle, char* name12) {
  gCalls.push_back("handle " + std::to_string(handle) + " name " + name12);
}

// The plug-in's export table is the command table: each command by its
// ordinal, without its name, and nothing else.
TEST(CommandTable, TheModuleDefinitionExportsEachCommandByOrdinalOnly) {
  std::istringstream def(test::readFile(DZ_SOURCE_DIR "/res/DobrenzData.def"));
  std::vector<std::string> exports;
  bool inExports = false;
  for (std::string line; std::getline(def, line);) {
    if (line.empty() || line[0] == ';') continue;
    if (line == "EXPORTS") {
      inExports = true;
    } else if (inExports) {
      std::istringstream words(line);
      std::string name, ordinal, noname;
      words >> name >> ordinal >> noname;
      exports.push_back(name + " " + ordinal + " " + noname);
    }
  }
  std::vector<std::string> expected;
  for (const Command& c : kCommands) expected.push_back(std::string(c.name) + " @" + std::to_string(c.ordinal) + " NONAME");
  EXPECT_EQ(exports, expected);
}

TEST(CommandTable, ScriptsCallExactlyTheCommandsOfTheTable) {
  for (int ordinal = 0; ordinal <= 60; ++ordinal) {
    SessionScript script;
    ScriptError error;
    const bool parsed = ParseSessionScript("call " + std::to_string(ordinal) + "\nend", script, error);
    EXPECT_EQ(parsed, FindCommand(ordinal) != nullptr) << ordinal;
    if (!parsed) {
      EXPECT_EQ(error.message, "there is no command " + std::to_string(ordinal) + " (10, 20, 30, 40, 50)");
    }
  }
}

// Both players call an entry point through the table's shape: the module
// its own functions, qelhost the plug-in's exports.
TEST(CommandTable, EntryPointsAreCalledWithTheArgumentsTheirShapeTakes) {
  gCalls.clear();
  char name[12] = {'K', '1', '2'};
  for (const Command& c : kCommands) {
    void* entry = c.takesName     ? reinterpret_cast<void*>(&handleNameEntry)
                  : c.takesHandle ? reinterpret_cast<void*>(&handleEntry)
                                  : reinterpret_cast<void*>(&plainEntry);
    CallEntryPoint(c, entry, 7, name);
  }
  EXPECT_EQ(gCalls, (std::vector<std::string>{"plain", "plain", "plain", "handle 7", "handle 7 name K12"}));
}

}  // namespace
}  // namespace dz::session
