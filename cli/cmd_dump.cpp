// dobrenz dump: a feature file as JSON.
#include <cstdio>

#include "base/file_io.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "standin/qel_dump.h"

namespace dz::cli {
namespace {

int runDump(const Options& options) {
  const std::string& path = options.operand();
  std::string bytes, reason;
  if (!fileExists(path)) {
    printError("dobrenz dump: " + shownPath(path) + " does not exist");
    return kExitFailure;
  }
  if (!readWholeFile(path, bytes, &reason)) {
    printError("dobrenz dump: " + shownPath(path) + " cannot be read: " + reason);
    return kExitFailure;
  }
  // Printed record by record from the file's bytes: a million features
  // never stand in memory as a store or as a document. Each piece ends with
  // a whole record, so no character is cut between two writes.
  const bool dumped = dumpFeatureFile(bytes, [](const void* data, size_t size) {
    writeOut(std::string_view(static_cast<const char*>(data), size));
    return true;
  }, reason);
  if (!dumped) {
    printError("dobrenz dump: " + shownPath(path) + ": " + reason);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

const Command& dumpCommand() {
  static const Command command{
      "dump",
      "print a feature file (.qel) as JSON",
      "Prints the whole feature file as JSON (format qel-dump/1) on standard output:\n"
      "points and features in insertion order, texts in object order.",
      {},
      "FILE.qel",
      "feature file",
      runDump,
  };
  return command;
}

}  // namespace dz::cli
