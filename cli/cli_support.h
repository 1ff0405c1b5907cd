// What the dobrenz commands share beyond the skeleton: the console message
// service, the stand-in engine with its call log, the rows of the options
// several commands take, and the handling of an existing output file.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "host/feature_writing.h"
#include "host/host_library.h"
#include "standin/engine.h"
#include "ui/message_service.h"

namespace dz::cli {

// --trace FILE
OptionRow traceOption();
// --host-dir DIR, where `lookedFor` (the code tables) lies.
OptionRow hostDirOption(const std::string& lookedFor);
// --overwrite and --append of an output file (see prepareOutputFile).
OptionRow overwriteOption();
OptionRow appendOption();
// --encoding gbk|utf-8 of the text inputs, --quiet and --strict (cli/input_run.h).
OptionRow encodingOption();
OptionRow quietOption();
OptionRow strictOption();

// Tells once where the code table `table` was looked for (`hostDir`, from
// --host-dir, else $QEL_HOST_DIR, else the current directory) and how to
// point elsewhere.
void reportMissingCodeTable(const std::string& command, const std::string& table, const std::string& hostDir,
                            const std::string& hostDirOption);

// Message boxes on the terminal: each text goes to standard error in UTF-8,
// one line per message; a run of the same message is folded into one line
// with a count. Questions (Yes/No) go to the question handler; without one
// they are answered Yes.
class ConsoleMessages : public ui::MessageService {
 public:
  using QuestionHandler = std::function<int(const std::string& gbkText)>;

  ConsoleMessages() = default;
  ~ConsoleMessages() override { flush(); }

  int ShowMessage(const std::string& text, unsigned type) override;

  void setQuestionHandler(QuestionHandler handler) { questions_ = std::move(handler); }
  // Prints a pending folded message.
  void flush();
  // Takes the pending message back unprinted: a worker's closing message,
  // which is told only once its output is known to be written. Its GBK text.
  std::string takePending();

  // How many messages were shown, repeats and questions included.
  int shownCount() const { return shown_; }

 private:
  std::string pending_;
  int pendingCount_ = 0;
  QuestionHandler questions_;
  int shown_ = 0;
};

// The stand-in engine for a command, with the call log when --trace is set.
class HostSession {
 public:
  // The log goes to `tracePath` (none when it is empty) once startTrace is called.
  HostSession(const std::string& hostDirOption, const std::string& tracePath);
  ~HostSession();

  // Creates the trace file: once the command has checked its files, so that
  // a refused run truncates nothing. Calls before it are not logged. Throws
  // UsageError when the trace file cannot be created.
  void startTrace();

  HostLibrary& host() { return tracer_ ? static_cast<HostLibrary&>(*tracer_) : engine_; }
  FeatureFileEngine& engine() { return engine_; }
  // The host directory, where the code tables lie.
  const std::string& hostDir() const { return hostDir_; }

  // Prints the engine's problems (failed writes) and closes the call log,
  // telling when it could not be written; returns how many problems there
  // were. The work through host() is over by then.
  int reportProblems();
  // Of those, the writes of the feature files that failed: nothing of such
  // a file was written.
  int failedWrites() const { return failedWrites_; }

 private:
  int failedWrites_ = 0;
  std::string hostDir_;
  FeatureFileEngine engine_;
  std::string tracePath_;
  std::FILE* trace_ = nullptr;
  std::unique_ptr<HostLibrary> tracer_;
};

// True when the two paths name one file as the file system sees it: through
// another spelling, a symbolic link or a hard link alike. A path that does
// not exist yet is the same as another only when both name the same entry of
// the same folder.
bool sameFile(const std::string& a, const std::string& b);

// A file the command reads or writes, by the option that names it.
struct NamedFile {
  std::string option;  // "--cas", "the code table", ...
  std::string path;    // empty: not given
};

// Refuses, with a message naming both, a --trace that names one of the
// command's files: truncating it for the log would destroy it. True when
// the trace may be written.
bool traceIsApart(const std::string& command, const std::string& tracePath, const std::vector<NamedFile>& files);

// Tells the features not written for their vertex count, with the lines
// where the first of them begin.
void reportRefusedFeatures(const std::string& command, const FeatureTally& refused);

// Tells that the output was not written because its commit failed.
void reportNothingWritten(const std::string& command, const std::string& path);

// What is to become of an existing output file: refused unless --overwrite
// (the conversion starts from an empty file, and the old one is replaced
// only when the new one is committed) or --append (converted into).
struct OutputChoice {
  bool overwrite = false;
  bool append = false;
};
// Throws UsageError when both are given.
OutputChoice outputChoice(const Options& options);

// Applies the choice to `path` before a conversion. Returns false after
// printing why the file is refused.
bool prepareOutputFile(HostSession& session, const std::string& path, OutputChoice choice);

// Converts a UTF-8 command-line text to GBK; throws UsageError when it has
// characters GBK cannot hold.
std::string argToGbk(const std::string& utf8, const std::string& what);

}  // namespace dz::cli
