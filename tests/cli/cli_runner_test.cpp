// The one runner of the dobrenz table (cli_cases.cpp): each case plays in a
// fresh directory, every run of it against the dobrenz binary itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

#include "base/file_io.h"
#include "tests/cli/cli_case.h"
#include "tests/support/child_process.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz::test::cli {

// What GoogleTest prints for a failing case: its name, not its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name(); }

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

class Player {
 public:
  explicit Player(const Case& c) : case_(c) {
    for (const InputFile& f : c.inputs()) {
      if (f.write)
        f.write(dir_.file(f.name));
      else
        dir_.write(f.name, f.bytes);
    }
    if (c.wantsSamplesCopy())
      std::filesystem::copy(DZ_SAMPLES_DIR, dir_.file("samples"), std::filesystem::copy_options::recursive);
  }

  void play() {
    for (size_t i = 0; i < case_.runs().size(); ++i) {
      const Run& run = case_.runs()[i];
      std::vector<std::string> args;
      for (const std::string& a : run.args) args.push_back(expand(a));
      SCOPED_TRACE("run " + std::to_string(i + 1) + ": dobrenz " + joined(args));
      std::map<std::string, std::string> before;
      for (const std::string& f : run.unchanged) before[f] = bytesOf(f);

      std::string program = DOBRENZ_EXE;
      if (!run.outTo.empty()) {
        // The shell sends standard output on: sh -c 'exec "$0" "$@" > FILE' dobrenz ARGS...
        args.insert(args.begin(), {"-c", "exec \"$0\" \"$@\" > '" + run.outTo + "'", program});
        program = "/bin/sh";
      }
      if (run.unprivileged) {
        openToEveryone(dir_.path());
        if (runningAsRoot()) {
          const std::string id = std::to_string(kUnprivilegedId);
          args.insert(args.begin(), {"--reuid=" + id, "--regid=" + id, "--clear-groups", program});
          program = "setpriv";
        }
      }
      const CommandResult r = runCommand(program, args, run.input, dir_.path(), run.environment);
      EXPECT_EQ(r.exitCode, run.exitCode) << "standard error:\n" << r.err;
      expectText("standard output", r.out, run.out);
      expectText("standard error", r.err, run.err);
      for (const auto& [file, check] : run.dumps) {
        const CommandResult dump = runCommand(DOBRENZ_EXE, {"dump", expand(file)}, "", dir_.path());
        EXPECT_EQ(dump.exitCode, 0) << file << ": " << dump.err;
        expectText("dump of " + file, dump.out, check);
      }
      for (const auto& [file, check] : run.files) expectText(file, bytesOf(file), check);
      for (const std::string& f : run.unchanged) EXPECT_EQ(bytesOf(f), before[f]) << f << " was changed";
      for (const std::string& f : run.absent) EXPECT_FALSE(fileExists(path(f))) << f << " exists";
      for (const std::string& f : run.present) EXPECT_TRUE(fileExists(path(f))) << f << " does not exist";
      if (run.directory) {
        EXPECT_EQ(entries(), *run.directory) << "the names in the case's directory";
      }
      for (const auto& [a, b] : run.alike) {
        EXPECT_TRUE(fileExists(path(a))) << a << " does not exist";
        EXPECT_TRUE(bytesOf(a) == bytesOf(b)) << a << " and " << b << " differ";
      }
    }
  }

 private:
  std::string expand(const std::string& text) const {
    return replaceAll(replaceAll(text, "{dir}", dir_.path()), "{samples}", DZ_SAMPLES_DIR);
  }
  std::string path(const std::string& file) const { return joinPath(dir_.path(), expand(file)); }
  // A file's bytes; "(none)" when it does not exist.
  std::string bytesOf(const std::string& file) const {
    std::string bytes;
    return readWholeFile(path(file), bytes) ? bytes : "(none)";
  }
  std::vector<std::string> entries() const { return test::namesIn(dir_.path()); }
  static std::string joined(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
    return line;
  }

  void expectText(const std::string& what, const std::string& text, const TextCheck& check) const {
    if (check.whole) {
      EXPECT_EQ(text, expand(*check.whole)) << what;
    }
    size_t from = 0;
    for (const std::string& f : check.has) {
      const size_t at = text.find(expand(f), from);
      EXPECT_NE(at, std::string::npos) << what << " lacks, or has out of order:\n" << expand(f) << "\nin:\n" << text;
      if (at != std::string::npos) from = at + expand(f).size();
    }
    for (const std::string& f : check.lacks)
      EXPECT_EQ(text.find(expand(f)), std::string::npos) << what << " has:\n" << expand(f) << "\nin:\n" << text;
  }

  const Case& case_;
  TempDir dir_;
};

class Dobrenz : public ::testing::TestWithParam<Case> {};

TEST_P(Dobrenz, Case) { Player(GetParam()).play(); }

INSTANTIATE_TEST_SUITE_P(Table, Dobrenz, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name(); });

// The sample scripts are found by listing their folder: a wrong path would
// drop their cases without a failure.
TEST(DobrenzTable, HasACaseForEverySampleScript) {
  int scripts = 0;
  for (const Case& c : allCases()) scripts += c.name().rfind("run_SampleScript_", 0) == 0 ? 1 : 0;
  EXPECT_GE(scripts, 8);
}

}  // namespace
}  // namespace dz::test::cli
