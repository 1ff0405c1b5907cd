// What the conversion commands share in reading real files: the text inputs
// read in the encoding --encoding names, progress on a terminal, the
// warnings a run gathers (one line per kind, with counts and the first line
// numbers, --strict making them fail), and the lines refused because GBK
// cannot hold them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/progress.h"
#include "base/tally.h"
#include "base/text_input.h"
#include "cli/command.h"

namespace dz::cli {

// The warnings of one run, printed together at its end.
class Warnings {
 public:
  // One warning, as it is to read after "dobrenz NAME: warning: ".
  void add(std::string text);
  // "FILE: 3 lines have ... (lines 4, 9, 12): CONSEQUENCE", when any.
  // `what` is in the plural and `whatOne` in the singular.
  void lines(const std::string& file, const LineTally& tally, const std::string& whatOne, const std::string& what,
             const std::string& consequence);
  // "FILE: 3 ... (KZD, 999, ...): CONSEQUENCE", when any; keys are GBK.
  void keys(const std::string& file, const KeyTally& tally, const std::string& whatOne, const std::string& what,
            const std::string& consequence);

  size_t count() const { return texts_.size(); }
  bool empty() const { return texts_.empty(); }
  void print(const std::string& command) const;

 private:
  std::vector<std::string> texts_;
};

// The reading of a command's text inputs, from its construction to finish().
class InputRun {
 public:
  // Reads --encoding and --quiet. `measured` are the input files whose bytes
  // make the progress.
  InputRun(const Options& options, const std::vector<std::string>& measured);

  bool quiet() const { return quiet_; }
  bool strict() const { return strict_; }

  // The inputs are read (the worker is done): the progress is completed.
  void finish() { progress_.finish(); }

  // What the inputs were as files: a byte-order mark or UTF-8 read as GBK.
  void addWarnings(Warnings& warnings) const;
  // Prints the lines refused for characters GBK cannot hold, and returns
  // how many there were.
  long reportRefusedLines(const std::string& command) const;

  const InputFileReport* report(const std::string& path) const;

 private:
  bool quiet_;
  bool strict_;
  TextInputRun run_;
  TerminalProgress progress_;
  uint64_t total_ = 0;
};

// Under --strict the output is written only after a clean run: no warning
// and no failure (`failed`) known before the output is written. When the run
// is not clean, tells that `output` is left as it was and answers true.
bool failsStrictly(const std::string& command, const InputRun& run, const Warnings& warnings, bool failed,
                   const std::string& output);

}  // namespace dz::cli
