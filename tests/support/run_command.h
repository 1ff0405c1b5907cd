// Test support: runs a program with arguments and collects its exit code and
// outputs, for the data-driven CLI tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace dz::test {

struct CommandResult {
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs `program` with `args` (each quoted for the shell), with `input` on
// standard input, in `workDir` when it is not empty, with the variables of
// `environment` set.
CommandResult runCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const std::string& workDir = "",
                         const Environment& environment = {});

}  // namespace dz::test
