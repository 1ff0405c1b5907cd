// What every dobrenz subcommand shares: option parsing, exit codes, the
// console message service, and opening the stand-in engine.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host_library.h"
#include "standin/engine.h"
#include "ui/message_service.h"

namespace dz::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Thrown by the option parser and by subcommands for a usage error; main
// prints it with the subcommand's usage and exits with kExitUsage.
struct UsageError {
  std::string message;
};

struct OptionSpec {
  std::string name;     // without the leading dashes
  bool takesValue;
  std::string help;     // one line for --help
  std::string valueName = "VALUE";
};

// Parsed command line of one subcommand.
class Options {
 public:
  // Throws UsageError for an unknown option or a missing value.
  Options(const std::vector<std::string>& args, const std::vector<OptionSpec>& spec);

  bool has(const std::string& name) const { return values_.count(name) != 0; }
  const std::string& value(const std::string& name) const;  // empty when absent
  std::string valueOr(const std::string& name, const std::string& fallback) const;
  // The value as an integer; throws UsageError when it is not one.
  int intValue(const std::string& name, int fallback) const;
  const std::vector<std::string>& positional() const { return positional_; }
  bool wantsHelp() const { return help_; }

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
  bool help_ = false;
};

// The usage text of a subcommand: its synopsis and one line per option.
std::string formatUsage(const std::string& synopsis, const std::string& description,
                        const std::vector<OptionSpec>& spec);

// Prints UTF-8 text to standard error, whatever the console's code page.
void printError(const std::string& utf8);

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

  // Every message shown so far (GBK), in order, repeats included.
  const std::vector<std::string>& shown() const { return shown_; }
  // How many of the messages shown were not `successText`.
  int countOtherThan(const std::string& successText) const;

 private:
  std::string pending_;
  int pendingCount_ = 0;
  QuestionHandler questions_;
  std::vector<std::string> shown_;
};

// The stand-in engine for a subcommand, with the call log when --trace is set.
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

// Decides what happens to an existing output file before a conversion:
// refused unless --overwrite (the conversion starts from an empty file, and
// the old one is replaced only when the new one is committed) or --append
// (converted into). Returns false after printing why.
bool prepareOutputFile(HostSession& session, const std::string& path, bool overwrite, bool append);

// Converts a UTF-8 command-line text to GBK; throws UsageError when it has
// characters GBK cannot hold.
std::string argToGbk(const std::string& utf8, const std::string& what);

}  // namespace dz::cli
