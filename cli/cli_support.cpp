#include "cli/cli_support.h"

#include <cerrno>
#include <cstring>

#include "base/file_io.h"
#include "base/gbk.h"
#include "cli/console.h"
#include "host/tracing_host.h"

namespace dz::cli {

// --- Shared option rows -------------------------------------------------------

OptionRow traceOption() { return fileOption("trace", "FILE", "write one line per host call to FILE"); }

OptionRow hostDirOption(const std::string& lookedFor) {
  return directoryOption("host-dir", "where " + lookedFor + " lies; without it $QEL_HOST_DIR, else the current directory");
}

OptionRow overwriteOption() { return flagOption("overwrite", "replace an existing output file"); }

OptionRow appendOption() { return flagOption("append", "convert into an existing output file"); }

// --- ConsoleMessages --------------------------------------------------------

int ConsoleMessages::ShowMessage(const std::string& text, unsigned type) {
  ++shown_;
  if (type == ui::kMbYesNo) {
    flush();
    if (questions_) return questions_(text);
    printError(gbkToUtf8(text) + " -> yes");
    return ui::kIdYes;
  }
  if (pendingCount_ > 0 && text == pending_) {
    ++pendingCount_;
    return ui::kIdOk;
  }
  flush();
  pending_ = text;
  pendingCount_ = 1;
  return ui::kIdOk;
}

void ConsoleMessages::flush() {
  if (pendingCount_ == 0) return;
  std::string line = gbkToUtf8(pending_);
  if (pendingCount_ > 1) line += " (" + std::to_string(pendingCount_) + " times)";
  printError(line);
  pendingCount_ = 0;
  pending_.clear();
}

// --- HostSession ------------------------------------------------------------

HostSession::HostSession(const std::string& hostDirOption, const std::string& tracePath)
    : engine_(FeatureFileEngine::resolveHostDir(hostDirOption)) {
  if (!tracePath.empty()) {
    trace_ = openFile(tracePath, "w");
    if (!trace_) throw UsageError{"cannot create the trace file " + shownPath(tracePath) + ": " + std::strerror(errno)};
    tracer_ = std::make_unique<TracingHostLibrary>(engine_, TracingHostLibrary::toFile(trace_));
  }
}

HostSession::~HostSession() {
  tracer_.reset();
  if (trace_) std::fclose(trace_);
}

int HostSession::reportProblems() {
  const auto problems = engine_.takeProblems();
  for (const std::string& p : problems) printError("error: " + shownPath(p));
  return static_cast<int>(problems.size());
}

OutputChoice outputChoice(const Options& options) {
  const OutputChoice choice{options.has("overwrite"), options.has("append")};
  if (choice.overwrite && choice.append) throw UsageError{"--overwrite and --append exclude each other"};
  return choice;
}

bool prepareOutputFile(HostSession& session, const std::string& path, OutputChoice choice) {
  if (!fileExists(path) || choice.append) return true;
  if (!choice.overwrite) {
    printError(shownPath(path) + " already exists: pass --overwrite to replace it or --append to add to it.");
    return false;
  }
  session.engine().startEmpty(path);
  return true;
}

std::string argToGbk(const std::string& utf8, const std::string& what) {
  std::string gbk;
  if (!utf8ToGbk(utf8, gbk)) throw UsageError{what + " '" + utf8 + "' has characters that GBK cannot hold"};
  return gbk;
}

}  // namespace dz::cli
