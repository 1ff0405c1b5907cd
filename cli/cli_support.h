// What the dobrenz commands share beyond the skeleton: the console message
// service, the stand-in engine with its call log, the rows of the options
// several commands take, and the handling of an existing output file.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "cli/command.h"
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
  // Throws UsageError when the trace file cannot be created.
  HostSession(const std::string& hostDirOption, const std::string& tracePath);
  ~HostSession();

  HostLibrary& host() { return tracer_ ? static_cast<HostLibrary&>(*tracer_) : engine_; }
  FeatureFileEngine& engine() { return engine_; }

  // Prints the engine's problems (failed writes); returns how many there were.
  int reportProblems();

 private:
  FeatureFileEngine engine_;
  std::FILE* trace_ = nullptr;
  std::unique_ptr<HostLibrary> tracer_;
};

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
