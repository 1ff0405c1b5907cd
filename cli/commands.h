// The subcommands of dobrenz. Each takes the arguments after its name,
// prints its own --help, and returns an exit code (cli_support.h); it throws
// UsageError for a usage error.
#pragma once

#include <string>
#include <vector>

namespace dz::cli {

using Args = std::vector<std::string>;

struct Subcommand {
  const char* name;
  const char* summary;
  int (*run)(const Args& args);
};

int runDump(const Args& args);
int runPoints(const Args& args);
int runAttach(const Args& args);
int runEpsw(const Args& args);
int runCass(const Args& args);
int runRun(const Args& args);

}  // namespace dz::cli
