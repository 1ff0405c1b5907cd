// The commands of dobrenz, each a table (cli/command.h) defined in its
// cmd_*.cpp, in the order `dobrenz --help` lists them.
#pragma once

#include <vector>

#include "cli/command.h"

namespace dz::cli {

const Command& cassCommand();
const Command& epswCommand();
const Command& attachCommand();
const Command& pointsCommand();
const Command& dumpCommand();
const Command& runSessionCommand();
const Command& exportCommand();
const Command& renderCommand();

inline std::vector<const Command*> allCommands() {
  return {&cassCommand(), &epswCommand(),   &attachCommand(), &pointsCommand(),
          &dumpCommand(), &exportCommand(), &renderCommand(), &runSessionCommand()};
}

}  // namespace dz::cli
