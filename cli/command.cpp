#include "cli/command.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "base/progress.h"
#include "cli/console.h"

namespace dz::cli {
namespace {

OptionRow makeRow(std::string name, ValueKind kind, std::string valueName, std::string help) {
  OptionRow row;
  row.name = std::move(name);
  row.kind = kind;
  row.valueName = std::move(valueName);
  row.help = std::move(help);
  return row;
}

bool parseNumber(const std::string& text, int& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

std::string joined(const std::vector<std::string>& words, const char* separator) {
  std::string all;
  for (const std::string& w : words) all += (all.empty() ? "" : separator) + w;
  return all;
}

const char* nounOf(ValueKind kind) {
  switch (kind) {
    case ValueKind::File:
      return "a file";
    case ValueKind::Directory:
      return "a directory";
    case ValueKind::Number:
      return "a number";
    default:
      return "a value";
  }
}

// Checks a value given on the command line against its row.
void checkValue(const OptionRow& row, const std::string& value) {
  if (row.mustNotBeEmpty && value.empty()) throw UsageError{"--" + row.name + " needs " + nounOf(row.kind)};
  int number = 0;
  if (row.kind == ValueKind::Number && !parseNumber(value, number))
    throw UsageError{"--" + row.name + " needs a whole number, not '" + value + "'"};
  if (row.kind == ValueKind::Choice) {
    const std::vector<std::string> words = row.choices();
    for (const std::string& w : words)
      if (w == value) return;
    throw UsageError{"--" + row.name + " must be one of " + joined(words, ", ") + ", not '" + value + "'"};
  }
}

// Whether `value` would pass the row's checks.
bool accepts(const OptionRow& row, const std::string& value) {
  try {
    checkValue(row, value);
    return !(row.kind != ValueKind::Number && value.size() > 1 && value[0] == '-');
  } catch (const UsageError&) {
    return false;
  }
}

bool isPath(ValueKind kind) { return kind == ValueKind::File || kind == ValueKind::Directory; }

// A path from the command line in the form the files are opened by
// (cli/console.h).
std::string systemPath(const std::string& what, const std::string& utf8) {
  std::string path;
  if (!pathFromArgument(utf8, path))
    throw UsageError{what + " '" + utf8 +
                     "' has characters GBK cannot hold and no short name: choose a name GBK can hold"};
  return path;
}

std::string overview(const std::vector<const Command*>& commands) {
  std::string text = "usage: dobrenz COMMAND [OPTIONS]\n\ncommands:\n";
  for (const Command* c : commands) {
    std::string name = "  " + c->name;
    name.resize(name.size() < 12 ? 12 : name.size(), ' ');
    text += name + c->summary + "\n";
  }
  return text + "\n'dobrenz COMMAND --help' describes a command; 'dobrenz --version' prints the version.\n";
}

int runOne(const Command& command, const Args& args) {
  try {
    const Options options(command, args);
    if (options.wantsHelp()) {
      writeOut(formatHelp(command));
      return kExitOk;
    }
    return command.run(options);
  } catch (const UsageError& e) {
    printError("dobrenz " + command.name + ": " + e.message);
    printError("try 'dobrenz " + command.name + " --help'");
    return kExitUsage;
  }
}

}  // namespace

// --- The table ----------------------------------------------------------------

std::vector<std::string> OptionRow::choices() const {
  std::vector<std::string> words;
  size_t from = 0;
  for (size_t bar; (bar = valueName.find('|', from)) != std::string::npos; from = bar + 1)
    words.push_back(valueName.substr(from, bar - from));
  words.push_back(valueName.substr(from));
  return words;
}

OptionRow flagOption(std::string name, std::string help) {
  return makeRow(std::move(name), ValueKind::Flag, "", std::move(help));
}

OptionRow fileOption(std::string name, std::string valueName, std::string help) {
  return makeRow(std::move(name), ValueKind::File, std::move(valueName), std::move(help));
}

OptionRow directoryOption(std::string name, std::string help) {
  return makeRow(std::move(name), ValueKind::Directory, "DIR", std::move(help));
}

OptionRow textOption(std::string name, std::string valueName, std::string help) {
  return makeRow(std::move(name), ValueKind::Text, std::move(valueName), std::move(help));
}

OptionRow numberOption(std::string name, std::string help) {
  return makeRow(std::move(name), ValueKind::Number, "N", std::move(help));
}

OptionRow choiceOption(std::string name, std::string words, std::string help) {
  return makeRow(std::move(name), ValueKind::Choice, std::move(words), std::move(help));
}

const OptionRow* Command::find(const std::string& option) const {
  for (const OptionRow& row : options)
    if (row.name == option) return &row;
  return nullptr;
}

// --- Parsing ------------------------------------------------------------------

Options::Options(const Command& command, const Args& args) : command_(command) {
  // A default the row's own check refuses is a fault of the table: say so
  // at once rather than hand the command a value it does not expect.
  for (const OptionRow& r : command.options) {
    try {
      if (r.hasDefault) checkValue(r, r.defaultValue);
      if (r.valueOptional) checkValue(r, r.implicitValue);
    } catch (const UsageError& e) {
      throw std::logic_error("the default of " + e.message);
    }
  }
  std::vector<std::string> operands;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      help_ = true;
      continue;
    }
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      if (arg.size() > 1 && arg[0] == '-') throw UsageError{"unknown option " + arg};
      operands.push_back(arg);
      continue;
    }
    std::string name = arg.substr(2);
    std::string value;
    const size_t eq = name.find('=');
    const bool inlineValue = eq != std::string::npos;
    if (inlineValue) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const OptionRow* found = command.find(name);
    if (!found) throw UsageError{"unknown option --" + name};
    if (found->kind == ValueKind::Flag) {
      if (inlineValue) throw UsageError{"--" + name + " takes no value"};
    } else if (!inlineValue && found->valueOptional) {
      value = found->implicitValue;
      if (i + 1 < args.size() && accepts(*found, args[i + 1])) value = args[++i];
    } else if (!inlineValue) {
      if (i + 1 >= args.size()) throw UsageError{"--" + name + " needs a value (" + found->valueName + ")"};
      value = args[++i];
    }
    if (found->kind != ValueKind::Flag) checkValue(*found, value);
    given_[name] = isPath(found->kind) ? systemPath("--" + name, value) : value;
  }
  if (help_) return;

  if (command.operand.empty() && !operands.empty()) throw UsageError{"unexpected argument '" + operands[0] + "'"};
  if (!command.operand.empty()) {
    size_t wanted = 1;  // one per word of the operand's name
    for (char c : command.operand) wanted += c == ' ';
    if (operands.size() != wanted)
      throw UsageError{(wanted == 1 ? "expected one " : "expected ") + command.operandNoun};
    for (const std::string& o : operands) operands_.push_back(systemPath(command.operandNoun, o));
    operand_ = operands_[0];
  }
  for (const OptionRow& r : command.options)
    if (r.isRequired && value(r.name).empty()) throw UsageError{"--" + r.name + " is required"};
}

const OptionRow& Options::row(const std::string& name) const {
  const OptionRow* found = command_.find(name);
  // Asking for an option the table lacks is a fault of the command, not of its user.
  if (!found) throw std::logic_error("dobrenz " + command_.name + " has no option --" + name);
  return *found;
}

bool Options::has(const std::string& name) const {
  row(name);
  return given_.count(name) != 0;
}

const std::string& Options::value(const std::string& name) const {
  const OptionRow& r = row(name);
  const auto it = given_.find(name);
  return it != given_.end() ? it->second : r.defaultValue;
}

int Options::number(const std::string& name) const {
  const OptionRow& r = row(name);
  int n = 0;
  if (r.kind != ValueKind::Number || (!has(name) && !r.hasDefault) || !parseNumber(value(name), n))
    throw std::logic_error("--" + name + " has no number to give");
  return n;
}

// --- Help and dispatch ----------------------------------------------------------

std::string synopsis(const Command& command) {
  std::string line = "dobrenz " + command.name;
  if (!command.operand.empty()) line += " " + command.operand;
  bool optional = false;
  for (const OptionRow& row : command.options) {
    if (row.isRequired)
      line += " --" + row.name + " " + row.valueName;
    else
      optional = true;
  }
  return optional ? line + " [OPTIONS]" : line;
}

std::string shownDefault(const std::string& value) {
  bool plain = !value.empty();
  for (char c : value)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_')) plain = false;
  return plain ? value : "\"" + value + "\"";
}

std::string formatHelp(const Command& command) {
  std::string out = "usage: " + synopsis(command) + "\n";
  if (!command.description.empty()) out += "\n" + command.description + "\n";
  out += "\noptions:\n";
  auto line = [&out](std::string left, const std::string& help) {
    left = "  " + left;
    if (left.size() < 25)
      left.resize(26, ' ');
    else
      left += "\n" + std::string(26, ' ');
    out += left + help + "\n";
  };
  for (const OptionRow& row : command.options) {
    std::string help = row.help;
    if (row.hasDefault) help += " (default: " + shownDefault(row.defaultValue) + ")";
    std::string value = row.valueName.empty() ? "" : " " + row.valueName;
    if (row.valueOptional) value = " [" + row.valueName + "]";
    line("--" + row.name + value, help);
  }
  line("-h, --help", "print this help");
  return out;
}

namespace {

int dispatch(const std::vector<const Command*>& commands, const std::string& version, const Args& args) {
  if (args.empty()) {
    writeErr(overview(commands));
    return kExitUsage;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    writeOut(overview(commands));
    return kExitOk;
  }
  if (first == "--version") {
    writeOut(version + "\n");
    return kExitOk;
  }
  for (const Command* c : commands)
    if (first == c->name) return runOne(*c, Args(args.begin() + 1, args.end()));
  printError("dobrenz: unknown command '" + first + "'");
  writeErr(overview(commands));
  return kExitUsage;
}

}  // namespace

int runProgram(const std::vector<const Command*>& commands, const std::string& version, const Args& args) {
  const int status = dispatch(commands, version, args);
  // What went to standard output is checked once it is all out: a full disk
  // or a closed pipe behind it is a failure, not a success.
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  if (flushed && !std::ferror(stdout)) return status;
  printError(std::string("dobrenz: standard output could not be written") +
             (!flushed && errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()));
  return status == kExitOk ? kExitFailure : status;
}

void printError(const std::string& utf8) {
  TerminalProgress::breakLine();
  writeErr(utf8 + "\n");
}

}  // namespace dz::cli
