#include "tests/support/run_command.h"

#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/test_files.h"

namespace dz::test {
namespace {

std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

CommandResult runCommand(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                         const std::string& workDir, const Environment& environment) {
  TempDir io;
  const std::string in = io.write("stdin", input);
  std::string command;
  if (!workDir.empty()) command = "cd " + shellQuote(workDir) + " && ";
  if (!environment.empty()) command += "env";
  for (const auto& [name, value] : environment) command += " " + shellQuote(name + "=" + value);
  if (!environment.empty()) command += " ";
  command += shellQuote(program);
  for (const std::string& a : args) command += " " + shellQuote(a);
  command += " < " + shellQuote(in) + " > " + shellQuote(io.file("stdout")) + " 2> " + shellQuote(io.file("stderr"));
  const int status = std::system(command.c_str());
  CommandResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readFile(io.file("stdout"));
  result.err = readFile(io.file("stderr"));
  return result;
}

}  // namespace dz::test
