// One row of the dobrenz test table: a behaviour, the files it starts from
// and the runs of dobrenz that show it, each with what it must give — exit
// status, standard output and error, the dump of a feature file it wrote,
// files it must leave alone. Rows read as sentences:
//
//   Case("points", "MissingTextFileLeavesNoFeatureFile")
//       .run({"points", "--qel", "p.qel", "--file", "missing.txt"})
//       .exits(1)
//       .errHas({u8"不能打开所选的文件!!"})
//       .absent("p.qel")
//
// Every run plays in the case's own fresh directory; in arguments and
// expected texts {dir} stands for that directory and {samples} for the
// repository's samples/.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dz::test::cli {

// What one text must be: whole, or holding fragments in the order given, or
// lacking some.
struct TextCheck {
  std::optional<std::string> whole;
  std::vector<std::string> has;
  std::vector<std::string> lacks;
};

struct Run {
  std::vector<std::string> args;
  std::string input;  // standard input
  std::string outTo;  // when set, standard output goes to this file (such as /dev/full) instead
  int exitCode = 0;
  TextCheck out;
  TextCheck err;
  std::vector<std::pair<std::string, TextCheck>> dumps;  // `dobrenz dump FILE` after the run
  std::vector<std::pair<std::string, TextCheck>> files;  // a file's bytes after the run
  std::vector<std::string> unchanged;  // files the run leaves byte for byte
  std::vector<std::string> absent;     // files that do not exist after it
  std::vector<std::string> present;    // files that do
  std::optional<std::vector<std::string>> directory;  // every name in the case's directory after it
  bool unprivileged = false;  // run as a user without privileges (nobody) when the tests run as root
  std::vector<std::pair<std::string, std::string>> environment;  // variables set for the run
  std::vector<std::pair<std::string, std::string>> alike;  // pairs of files equal byte for byte
};

struct InputFile {
  std::string name;
  std::string bytes;
  std::function<void(const std::string& path)> write;  // when set, makes the file instead
};

class Case {
 public:
  Case(std::string command, std::string behaviour);

  // The GoogleTest name: command_Behaviour.
  std::string name() const { return command_ + "_" + behaviour_; }
  const std::vector<InputFile>& inputs() const { return inputs_; }
  const std::vector<Run>& runs() const { return runs_; }
  bool wantsSamplesCopy() const { return samplesCopy_; }

  // --- The start ---------------------------------------------------------
  // A file of these bytes in the case's directory.
  Case& file(std::string name, std::string bytes);
  // A file made by `write` (given the full path), for binary inputs.
  Case& file(std::string name, std::function<void(const std::string& path)> write);
  // A copy of samples/ as samples/ in the case's directory, for what names
  // its files from the repository root.
  Case& copyOfSamples();

  // --- A run and what it gives; each expectation is of the last run --------
  Case& run(std::vector<std::string> args, std::string input = "");
  Case& exits(int code);
  // Standard output of the last run goes to `path` instead of being caught.
  Case& outTo(std::string path);
  Case& outIs(std::string text);
  Case& outHas(std::vector<std::string> fragments);
  Case& outLacks(std::vector<std::string> fragments);
  Case& errIs(std::string text);
  Case& errHas(std::vector<std::string> fragments);
  Case& errLacks(std::vector<std::string> fragments);
  Case& dumpHas(std::string file, std::vector<std::string> fragments);
  Case& dumpLacks(std::string file, std::vector<std::string> fragments);
  Case& fileIs(std::string file, std::string bytes);
  Case& fileHas(std::string file, std::vector<std::string> fragments);
  Case& fileLacks(std::string file, std::vector<std::string> fragments);
  Case& leaves(std::string file);
  Case& absent(std::string file);
  Case& present(std::string file);
  // Exactly these names (sorted) are in the case's directory after the run:
  // nothing left beside the files, no temporary, no lock.
  Case& directoryHolds(std::vector<std::string> names);

  // --- How the last run is made ------------------------------------------------
  // As a user that file modes stop (root reads every file); the case's
  // directory is opened to every user for it.
  Case& asUnprivilegedUser();
  // With an environment variable set, e.g. a fault of the file layer.
  Case& withEnvironment(std::string name, std::string value);
  // Both files exist after the run and hold the same bytes.
  Case& alike(std::string file, std::string other);

 private:
  Run& last();
  TextCheck& check(std::vector<std::pair<std::string, TextCheck>>& checks, const std::string& file);

  std::string command_;
  std::string behaviour_;
  std::vector<InputFile> inputs_;
  std::vector<Run> runs_;
  bool samplesCopy_ = false;
};

// The whole table, cli_cases.cpp.
std::vector<Case> allCases();

}  // namespace dz::test::cli
