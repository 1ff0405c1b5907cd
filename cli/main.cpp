// dobrenz: the conversions of the plug-in without its dialogs, over the
// stand-in feature-file engine.
#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/cli_support.h"
#include "cli/commands.h"

namespace dz::cli {
namespace {

const char kVersion[] = "dobrenz 1.0.0.1";

const Subcommand kSubcommands[] = {
    {"cass", "convert a CASS exchange file (.cas) into a feature file", runCass},
    {"epsw", "convert EPSW .cor and .not files into a feature file", runEpsw},
    {"attach", "attach attribute files to the parcels, boundary points and houses of a .qel", runAttach},
    {"points", "import points from a delimited text file", runPoints},
    {"dump", "print a feature file (.qel) as JSON", runDump},
    {"run", "play a scripted dialog session (docs/dialogs.md)", runRun},
};

void printOverview(std::FILE* out) {
  std::fprintf(out, "usage: dobrenz COMMAND [OPTIONS]\n\ncommands:\n");
  for (const Subcommand& c : kSubcommands) std::fprintf(out, "  %-10s%s\n", c.name, c.summary);
  std::fprintf(out, "\n'dobrenz COMMAND --help' describes a command; 'dobrenz --version' prints the version.\n");
}

int dispatch(int argc, char** argv) {
  if (argc < 2) {
    printOverview(stderr);
    return kExitUsage;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h" || first == "help") {
    printOverview(stdout);
    return kExitOk;
  }
  if (first == "--version") {
    std::printf("%s\n", kVersion);
    return kExitOk;
  }
  for (const Subcommand& c : kSubcommands) {
    if (first != c.name) continue;
    try {
      return c.run(Args(argv + 2, argv + argc));
    } catch (const UsageError& e) {
      printError("dobrenz " + first + ": " + e.message);
      printError("try 'dobrenz " + first + " --help'");
      return kExitUsage;
    }
  }
  printError("dobrenz: unknown command '" + first + "'");
  printOverview(stderr);
  return kExitUsage;
}

}  // namespace
}  // namespace dz::cli

int main(int argc, char** argv) {
  try {
    return dz::cli::dispatch(argc, argv);
  } catch (const std::exception& e) {
    dz::cli::printError(std::string("dobrenz: internal error: ") + e.what());
    return dz::cli::kExitFailure;
  }
}
