#include "cli/cli_support.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

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

OptionRow encodingOption() {
  return choiceOption("encoding", "gbk|utf-8",
                      "how the input text files are written; utf-8 is converted to GBK, a line with a character "
                      "GBK cannot hold is not read")
      .byDefault("gbk");
}

OptionRow quietOption() { return flagOption("quiet", "print no summary and no progress"); }

OptionRow strictOption() {
  return flagOption("strict", "write only after a clean run: a warning, like a failure, exits with 1 and leaves "
                              "the feature file as it was");
}

void reportMissingCodeTable(const std::string& command, const std::string& table, const std::string& hostDir,
                            const std::string& hostDirOption) {
  const char* env = std::getenv("QEL_HOST_DIR");
  const std::string from = !hostDirOption.empty() ? "--host-dir"
                           : env && *env         ? "$QEL_HOST_DIR"
                                                 : "the current directory";
  printError("dobrenz " + command + ": " + table + " was looked for in " + shownPath(hostDir) + " (" + from +
             "): give --host-dir DIR or set QEL_HOST_DIR to the folder that holds it");
}

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

std::string ConsoleMessages::takePending() {
  std::string text;
  text.swap(pending_);
  pendingCount_ = 0;
  return text;
}

// --- HostSession ------------------------------------------------------------

HostSession::HostSession(const std::string& hostDirOption, const std::string& tracePath)
    : hostDir_(FeatureFileEngine::resolveHostDir(hostDirOption)), engine_(hostDir_), tracePath_(tracePath) {
  if (tracePath_.empty()) return;
  tracer_ = std::make_unique<TracingHostLibrary>(engine_, [this](const std::string& line) {
    if (trace_) TracingHostLibrary::toFile(trace_)(line);
  });
}

HostSession::~HostSession() {
  tracer_.reset();
  if (trace_) std::fclose(trace_);
}

void HostSession::startTrace() {
  if (tracePath_.empty() || trace_) return;
  trace_ = openFile(tracePath_, "w");
  if (!trace_) throw UsageError{"cannot create the trace file " + tracePath_ + ": " + std::strerror(errno)};
}

int HostSession::reportProblems() {
  const auto problems = engine_.takeProblems();
  for (const std::string& p : problems) printError("error: " + shownPath(p));
  failedWrites_ = static_cast<int>(problems.size());
  int count = failedWrites_;
  if (trace_) {
    const bool failedBefore = std::ferror(trace_) != 0;
    errno = 0;
    const bool closed = std::fclose(trace_) == 0;
    trace_ = nullptr;
    if (failedBefore || !closed) {
      printError("error: the trace file " + shownPath(tracePath_) + " could not be written" +
                 (!closed && errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()));
      ++count;
    }
  }
  return count;
}

// --- Files named twice ------------------------------------------------------

namespace {

// Where a path's last entry begins.
size_t entryStart(const std::string& path) {
#ifdef _WIN32
  const size_t slash = path.find_last_of("/\\:");
#else
  const size_t slash = path.rfind('/');
#endif
  return slash == std::string::npos ? 0 : slash + 1;
}

struct FileIdentity {
  unsigned long long volume = 0;
  unsigned long long index = 0;
};

// The file a path names (through links), when it exists.
bool identify(const std::string& path, FileIdentity& id) {
#ifdef _WIN32
  const HANDLE h = CreateFileW(widePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!ok) return false;
  id.volume = info.dwVolumeSerialNumber;
  id.index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
#else
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  id.volume = static_cast<unsigned long long>(st.st_dev);
  id.index = static_cast<unsigned long long>(st.st_ino);
  return true;
#endif
}

bool sameEntryName(const std::string& a, const std::string& b) {
#ifdef _WIN32
  return _stricmp(a.c_str(), b.c_str()) == 0;  // the file system ignores case
#else
  return a == b;
#endif
}

// Where a symbolic link that leads nowhere yet would create its file: writing
// through it makes that file. The path itself for anything else.
std::string linkTarget(const std::string& path) {
#ifndef _WIN32
  std::string current = path;
  for (int depth = 0; depth < 8; ++depth) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char target[4096];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n <= 0) return current;
    const std::string next(target, static_cast<size_t>(n));
    current = next[0] == '/' ? next : current.substr(0, entryStart(current)) + next;
  }
  return current;
#else
  return path;
#endif
}

}  // namespace

bool sameFile(const std::string& first, const std::string& second) {
  if (first.empty() || second.empty()) return false;
  const std::string a = linkTarget(first), b = linkTarget(second);
  FileIdentity ia, ib;
  const bool aExists = identify(a, ia);
  const bool bExists = identify(b, ib);
  if (aExists && bExists) return ia.volume == ib.volume && ia.index == ib.index;
  if (aExists || bExists) return false;
  // Neither is there yet: the same entry of the same folder.
  const size_t sa = entryStart(a), sb = entryStart(b);
  if (!sameEntryName(a.substr(sa), b.substr(sb))) return false;
  const std::string da = sa == 0 ? "." : a.substr(0, sa);
  const std::string db = sb == 0 ? "." : b.substr(0, sb);
  return identify(da, ia) && identify(db, ib) && ia.volume == ib.volume && ia.index == ib.index;
}

bool traceIsApart(const std::string& command, const std::string& tracePath, const std::vector<NamedFile>& files) {
  if (tracePath.empty()) return true;
  for (const NamedFile& f : files) {
    if (!sameFile(tracePath, f.path)) continue;
    printError("dobrenz " + command + ": --trace " + shownPath(tracePath) + " is " + shownPath(f.path) + ", the file of " + f.option +
               ": give the trace a file of its own; nothing was done");
    return false;
  }
  return true;
}

void reportRefusedFeatures(const std::string& command, const FeatureTally& refused) {
  if (refused.count == 0) return;
  printError("dobrenz " + command + ": " + std::to_string(refused.count) +
             (refused.count == 1 ? " feature" : " features") + " not written: more than " +
             std::to_string(kMostFeatureVertices) + " vertices, which a feature cannot hold (" + linesText(refused) +
             ")");
}

void reportNothingWritten(const std::string& command, const std::string& path) {
  printError("dobrenz " + command + ": nothing was written to " + shownPath(path));
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
