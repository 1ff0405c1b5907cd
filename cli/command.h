// The skeleton every dobrenz command stands on. A command is a table — its
// name, a one-line summary, a description, one row per option and at most one
// operand — and a run function that receives the parsed options. Parsing,
// --help (with each default), usage errors and their exit status are done
// here once, from the table: adding an option is adding a row, and a man page
// or a shell completion can be generated from the same rows.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace dz::cli {

constexpr int kExitOk = 0;       // the work was done and nothing went wrong
constexpr int kExitFailure = 1;  // a failure was reported
constexpr int kExitUsage = 2;    // the command line was wrong

using Args = std::vector<std::string>;

// Thrown by the parser and by commands for a wrong command line; the
// dispatcher prints it with a pointer to --help and exits with kExitUsage.
struct UsageError {
  std::string message;
};

// What an option takes after its name. Besides checking the value, the kind
// tells a generated completion what to offer.
enum class ValueKind {
  Flag,       // nothing: given or not
  File,       // a path, handed to the command in the form files are opened by (cli/console.h)
  Directory,  // a directory, likewise
  Text,       // any text
  Number,     // a whole number, checked when parsed
  Choice,     // one of the words of the row's valueName "a|b|c", checked when parsed
};

// One row of a command's option table.
struct OptionRow {
  std::string name;          // the long name, without "--"
  ValueKind kind = ValueKind::Flag;
  std::string valueName;     // shown after the name: FILE.qel, DIR, N; a choice's words; empty for a flag
  std::string help;          // one line
  std::string defaultValue;  // taken when the option is absent, and shown; empty: none
  bool hasDefault = false;
  bool isRequired = false;   // must be given, with a value that is not empty
  bool mustNotBeEmpty = false;  // when given, its value must not be empty
  bool valueOptional = false;   // given alone, it takes implicitValue
  std::string implicitValue;

  OptionRow& required() {
    isRequired = true;
    return *this;
  }
  OptionRow& notEmpty() {
    mustNotBeEmpty = true;
    return *this;
  }
  OptionRow& byDefault(std::string value) {
    defaultValue = std::move(value);
    hasDefault = true;
    return *this;
  }
  // The value may be left out: `--name` alone stands for `--name implicit`.
  // A following argument is taken as the value only when the row accepts it.
  OptionRow& optionalValue(std::string implicit) {
    valueOptional = true;
    implicitValue = std::move(implicit);
    return *this;
  }
  // The words of a choice row.
  std::vector<std::string> choices() const;
};

OptionRow flagOption(std::string name, std::string help);
OptionRow fileOption(std::string name, std::string valueName, std::string help);
OptionRow directoryOption(std::string name, std::string help);
OptionRow textOption(std::string name, std::string valueName, std::string help);
OptionRow numberOption(std::string name, std::string help);
OptionRow choiceOption(std::string name, std::string words, std::string help);

class Options;

struct Command {
  std::string name;
  std::string summary;      // its line in `dobrenz --help`
  std::string description;  // paragraphs for `dobrenz NAME --help`
  std::vector<OptionRow> options;
  std::string operand;      // the arguments that are not options, paths, one word each (SCRIPT; FILE.qel OUT); empty: none
  std::string operandNoun;  // what they are, for "expected one script", "expected a feature file and OUT"
  int (*run)(const Options& options) = nullptr;

  // Null when there is no such row.
  const OptionRow* find(const std::string& option) const;
};

// A command line parsed against its command's table.
class Options {
 public:
  // Throws UsageError for whatever does not fit the table: an unknown option,
  // a missing or empty value, a flag given a value, a number or choice that is
  // not one, operands that are missing or too many, a required option absent.
  // --help (or -h) skips the checks of what is missing.
  Options(const Command& command, const Args& args);

  bool wantsHelp() const { return help_; }
  // Given on the command line.
  bool has(const std::string& name) const;
  // The value given, else the row's default, else "".
  const std::string& value(const std::string& name) const;
  // A number row's value, else its default.
  int number(const std::string& name) const;
  const std::string& operand() const { return operand_; }
  // Every operand, in order, when the command takes more than one.
  const std::vector<std::string>& operands() const { return operands_; }

 private:
  const OptionRow& row(const std::string& name) const;

  const Command& command_;
  std::map<std::string, std::string> given_;
  std::string operand_;
  std::vector<std::string> operands_;
  bool help_ = false;
};

// `usage: dobrenz NAME ...`, the description and one line per option.
std::string formatHelp(const Command& command);
// Its usage line without "usage: ": `dobrenz NAME [OPERAND] --required VALUE ... [OPTIONS]`.
std::string synopsis(const Command& command);
// A default as the help shows it: quoted when it would not read as one word.
std::string shownDefault(const std::string& value);

// The whole program: the overview (no arguments, --help), --version, and a
// command's --help, its usage errors and its run. Returns the exit status.
int runProgram(const std::vector<const Command*>& commands, const std::string& version, const Args& args);

// Prints UTF-8 text and a line end to standard error, whatever the
// console's code page (cli/console.h).
void printError(const std::string& utf8);

}  // namespace dz::cli
