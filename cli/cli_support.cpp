#include "cli/cli_support.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/file_io.h"
#include "base/gbk.h"
#include "host/tracing_host.h"

namespace dz::cli {

// --- Options ----------------------------------------------------------------

Options::Options(const std::vector<std::string>& args, const std::vector<OptionSpec>& spec) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      help_ = true;
      continue;
    }
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      if (arg.size() > 1 && arg[0] == '-' && arg != "-") throw UsageError{"unknown option " + arg};
      positional_.push_back(arg);
      continue;
    }
    std::string name = arg.substr(2);
    std::string inlineValue;
    bool hasInline = false;
    if (size_t eq = name.find('='); eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
      hasInline = true;
    }
    const OptionSpec* found = nullptr;
    for (const OptionSpec& s : spec)
      if (s.name == name) found = &s;
    if (!found) throw UsageError{"unknown option --" + name};
    if (!found->takesValue) {
      if (hasInline) throw UsageError{"--" + name + " takes no value"};
      values_[name] = "";
      continue;
    }
    if (hasInline) {
      values_[name] = inlineValue;
    } else {
      if (i + 1 >= args.size()) throw UsageError{"--" + name + " needs a value (" + found->valueName + ")"};
      values_[name] = args[++i];
    }
  }
}

const std::string& Options::value(const std::string& name) const {
  static const std::string empty;
  auto it = values_.find(name);
  return it == values_.end() ? empty : it->second;
}

std::string Options::valueOr(const std::string& name, const std::string& fallback) const {
  return has(name) ? value(name) : fallback;
}

int Options::intValue(const std::string& name, int fallback) const {
  if (!has(name)) return fallback;
  const std::string& text = value(name);
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
    throw UsageError{"--" + name + " needs a whole number, not '" + text + "'"};
  return static_cast<int>(v);
}

std::string formatUsage(const std::string& synopsis, const std::string& description,
                        const std::vector<OptionSpec>& spec) {
  std::string out = "usage: " + synopsis + "\n";
  if (!description.empty()) out += "\n" + description + "\n";
  if (!spec.empty()) out += "\noptions:\n";
  for (const OptionSpec& s : spec) {
    std::string left = "  --" + s.name + (s.takesValue ? " " + s.valueName : "");
    if (left.size() < 26) left.resize(26, ' ');
    else left += "\n" + std::string(26, ' ');
    out += left + s.help + "\n";
  }
  return out;
}

void printError(const std::string& utf8) {
  std::fputs(utf8.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

// --- ConsoleMessages --------------------------------------------------------

int ConsoleMessages::ShowMessage(const std::string& text, unsigned type) {
  shown_.push_back(text);
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

int ConsoleMessages::countOtherThan(const std::string& successText) const {
  int n = 0;
  for (const std::string& s : shown_)
    if (s != successText) ++n;
  return n;
}

// --- HostSession ------------------------------------------------------------

HostSession::HostSession(const std::string& hostDirOption, const std::string& tracePath)
    : engine_(FeatureFileEngine::resolveHostDir(hostDirOption)) {
  if (!tracePath.empty()) {
    trace_ = openFile(tracePath, "w");
    if (!trace_) throw UsageError{"cannot create the trace file " + tracePath + ": " + std::strerror(errno)};
    tracer_ = std::make_unique<TracingHostLibrary>(engine_, TracingHostLibrary::toFile(trace_));
  }
}

HostSession::~HostSession() {
  tracer_.reset();
  if (trace_) std::fclose(trace_);
}

int HostSession::reportProblems() {
  const auto problems = engine_.takeProblems();
  for (const std::string& p : problems) printError("error: " + p);
  return static_cast<int>(problems.size());
}

bool prepareOutputFile(HostSession& session, const std::string& path, bool overwrite, bool append) {
  if (overwrite && append) throw UsageError{"--overwrite and --append exclude each other"};
  if (!fileExists(path) || append) return true;
  if (!overwrite) {
    printError(path + " already exists: pass --overwrite to replace it or --append to add to it.");
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
