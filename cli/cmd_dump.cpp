// dobrenz dump FILE.qel
#include <cstdio>

#include "base/file_io.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "standin/feature_store.h"
#include "standin/qel_dump.h"

namespace dz::cli {

int runDump(const Args& args) {
  const std::vector<OptionSpec> spec;
  Options options(args, spec);
  if (options.wantsHelp()) {
    std::fputs(formatUsage("dobrenz dump FILE.qel",
                           "Prints the whole feature file as JSON (format qel-dump/1) on standard output:\n"
                           "points and features in insertion order, texts in object order.",
                           spec)
                   .c_str(),
               stdout);
    return kExitOk;
  }
  if (options.positional().size() != 1) throw UsageError{"expected one feature file"};
  const std::string& path = options.positional()[0];
  std::string bytes;
  if (!fileExists(path)) {
    printError("dobrenz dump: " + path + " does not exist");
    return kExitFailure;
  }
  if (!readWholeFile(path, bytes)) {
    printError("dobrenz dump: " + path + " cannot be read");
    return kExitFailure;
  }
  FeatureStore store;
  std::string reason;
  if (!decodeQel(bytes, store, reason)) {
    printError("dobrenz dump: " + path + ": " + reason);
    return kExitFailure;
  }
  const std::string json = dumpFeatureStore(store);
  std::fwrite(json.data(), 1, json.size(), stdout);
  return kExitOk;
}

}  // namespace dz::cli
