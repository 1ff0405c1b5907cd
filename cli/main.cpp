// dobrenz: the conversions of the plug-in without its dialogs, over the
// stand-in feature-file engine.
#include <exception>
#include <string>

#include "cli/commands.h"

int main(int argc, char** argv) {
  try {
    return dz::cli::runProgram(dz::cli::allCommands(), "dobrenz 1.0.0.1", dz::cli::Args(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    dz::cli::printError(std::string("dobrenz: internal error: ") + e.what());
    return dz::cli::kExitFailure;
  }
}
