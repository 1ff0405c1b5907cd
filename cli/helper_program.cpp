#include "cli/helper_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

namespace dz::cli {
namespace {

// The command line again, from the options parsed against the same table.
Args commandLine(const Command& command, const Options& options) {
  Args args;
  for (const OptionRow& row : command.options) {
    if (!options.has(row.name)) continue;
    args.push_back("--" + row.name + (row.kind == ValueKind::Flag ? "" : "=" + options.value(row.name)));
  }
  args.insert(args.end(), options.operands().begin(), options.operands().end());
  return args;
}

}  // namespace

int handOver(const std::string& program, const Command& command, const Options& options) {
  std::string self(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", self.data(), self.size() - 1);
  self.resize(n > 0 ? static_cast<size_t>(n) : 0);
  const std::string path = self.substr(0, self.rfind('/') + 1) + program;
  const Args args = commandLine(command, options);
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(nullptr);
  execv(path.c_str(), argv.data());
  printError("dobrenz " + command.name + ": cannot run " + path + ": " + std::strerror(errno) +
             " (it is built beside dobrenz and kept there)");
  return kExitFailure;
}

int runHelperProgram(const Command& command, const std::string& program, int argc, char** argv) {
  Args args = {command.name};
  args.insert(args.end(), argv + 1, argv + argc);
  try {
    return runProgram({&command}, program, args);
  } catch (const std::exception& e) {
    printError("dobrenz " + command.name + ": internal error: " + e.what());
    return kExitFailure;
  }
}

}  // namespace dz::cli
