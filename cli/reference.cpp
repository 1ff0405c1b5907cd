#include "cli/reference.h"

#include <sstream>

namespace dz::cli {
namespace {

// --- The manual page -------------------------------------------------------

// Text safe in troff: a backslash printed as one, every minus an ASCII minus
// (so that options copied from the page work), no line read as a request.
std::string roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

// A description as the help prints it, as troff: its lines are filled, an
// empty line starts a paragraph, indented lines are kept as they are.
std::string roffParagraphs(const std::string& text) {
  std::string out;
  std::istringstream lines(text);
  bool keeping = false;
  for (std::string line; std::getline(lines, line);) {
    const bool indented = !line.empty() && line[0] == ' ';
    if (indented != keeping) {
      out += indented ? ".RS 2\n.nf\n" : ".fi\n.RE\n";
      keeping = indented;
    }
    if (line.empty()) {
      out += ".PP\n";
      continue;
    }
    out += roff(indented ? line.substr(line.find_first_not_of(' ')) : line) + "\n";
  }
  if (keeping) out += ".fi\n.RE\n";
  return out;
}

std::string optionEntry(const OptionRow& row) {
  std::string out = ".TP\n\\fB" + roff("--" + row.name) + "\\fR";
  if (row.valueOptional)
    out += " [\\fI" + roff(row.valueName) + "\\fR]";
  else if (!row.valueName.empty())
    out += " \\fI" + roff(row.valueName) + "\\fR";
  out += "\n" + roff(row.help);
  if (row.hasDefault) out += " (default: " + roff(shownDefault(row.defaultValue)) + ")";
  if (row.isRequired) out += " (required)";
  return out + "\n";
}

const char* const kDescription =
    "dobrenz runs each conversion of the DobrenzData plug-in without its dialog, over the stand-in\n"
    "feature-file engine: CASS exchange files and EPSW files into feature files (.qel), attribute\n"
    "files attached to the parcels, boundary points and houses of a feature file, points read from\n"
    "delimited text files. It prints a feature file as JSON and plays scripted sessions with the\n"
    "plug-in's dialogs.\n"
    "\n"
    "Texts inside the files stay in GBK, as the host keeps them. What dobrenz prints is UTF-8:\n"
    "the messages of the plug-in and the usage errors on standard error, summaries, dumps and\n"
    "session logs on standard output.";

const char* const kExitStatus =
    "0 when the work was done and nothing went wrong; 1 when a failure was reported (a file\n"
    "missing or unreadable, an output refused or not written); 2 for a usage error.";

const char* const kEnvironment =
    "QEL_HOST_DIR\n"
    "The host directory, where the code tables lie, when --host-dir is not given; without\n"
    "either the current directory.";

const char* const kFiles =
    "CASSCode.txt and EPSWconvert.txt in the host directory map the CASS and EPSW feature codes\n"
    "to the host's feature codes.";

const char* const kSeeAlso =
    "The documents installed with dobrenz, in share/doc/dobrenz under the installation prefix:\n"
    "README.md; docs/cli.md (the commands and their exit status), docs/qel-format.md (the\n"
    "feature file, byte by byte), docs/dump-format.md (the JSON of dobrenz dump),\n"
    "docs/dialogs.md (the session scripts of dobrenz run) and one page per conversion.";

// --- The bash completion ----------------------------------------------------

std::string words(const std::vector<std::string>& list) {
  std::string out;
  for (const std::string& w : list) out += (out.empty() ? "" : " ") + w;
  return out;
}

// The options of one kind, as a case pattern: --a|--b; empty when none.
std::string optionsOfKind(const Command& command, ValueKind kind) {
  std::string pattern;
  for (const OptionRow& row : command.options)
    if (row.kind == kind) pattern += (pattern.empty() ? "--" : "|--") + row.name;
  return pattern;
}

std::string commandCompletion(const Command& command) {
  std::vector<std::string> names;
  for (const OptionRow& row : command.options) names.push_back("--" + row.name);
  names.push_back("--help");

  std::string out = "    " + command.name + ")\n      case \"$prev\" in\n";
  const std::string files = optionsOfKind(command, ValueKind::File);
  if (!files.empty()) out += "        " + files + ") _dobrenz_files -f; return ;;\n";
  const std::string dirs = optionsOfKind(command, ValueKind::Directory);
  if (!dirs.empty()) out += "        " + dirs + ") _dobrenz_files -d; return ;;\n";
  for (const OptionRow& row : command.options)
    if (row.kind == ValueKind::Choice)
      out += "        --" + row.name + ") COMPREPLY=($(compgen -W \"" + words(row.choices()) +
             "\" -- \"$cur\")); return ;;\n";
  for (ValueKind free : {ValueKind::Text, ValueKind::Number}) {
    const std::string pattern = optionsOfKind(command, free);
    if (!pattern.empty()) out += "        " + pattern + ") return ;;\n";
  }
  out += "      esac\n";
  out += "      options=\"" + words(names) + "\"\n";
  out += std::string("      operand=") + (command.operand.empty() ? "no" : "yes") + "\n";
  return out + "      ;;\n";
}

}  // namespace

std::string manPage(const std::vector<const Command*>& commands, const std::string& version) {
  std::string out = ".\\\" dobrenz(1), made by `dobrenz --man-page` from the command tables.\n";
  out += ".TH DOBRENZ 1 \"\" \"" + roff(version) + "\" \"DobrenzData\"\n.nh\n.ad l\n";
  out += ".SH NAME\ndobrenz \\- the DobrenzData conversions on the command line\n";
  out += ".SH SYNOPSIS\n.nf\n";
  for (const Command* c : commands) out += roff(synopsis(*c)) + "\n";
  out += roff("dobrenz COMMAND --help") + "\n" + roff("dobrenz --version") + "\n.fi\n";
  out += ".SH DESCRIPTION\n" + roffParagraphs(kDescription);
  out += ".SH COMMANDS\n";
  for (const Command* c : commands) {
    out += ".SS \"" + roff("dobrenz " + c->name) + "\"\n";
    out += roffParagraphs(c->description.empty() ? c->summary + "." : c->description);
    if (!c->operand.empty()) out += ".TP\n\\fI" + roff(c->operand) + "\\fR\nthe " + roff(c->operandNoun) + "\n";
    for (const OptionRow& row : c->options) out += optionEntry(row);
    out += ".TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\nprint the command's help\n";
  }
  out += ".SH \"EXIT STATUS\"\n" + roffParagraphs(kExitStatus);
  out += ".SH ENVIRONMENT\n.TP\n" + roffParagraphs(kEnvironment);
  out += ".SH FILES\n" + roffParagraphs(kFiles);
  out += ".SH \"SEE ALSO\"\n" + roffParagraphs(kSeeAlso);
  return out;
}

std::string bashCompletion(const std::vector<const Command*>& commands) {
  std::vector<std::string> names;
  for (const Command* c : commands) names.push_back(c->name);
  names.push_back("--help");
  names.push_back("--version");

  std::string out =
      "# bash completion for dobrenz, made by `dobrenz --bash-completion` from the command tables.\n"
      "\n"
      "# Files (-f) or directories (-d) beginning with $cur; names with spaces kept whole.\n"
      "_dobrenz_files() {\n"
      "  local IFS=$'\\n'\n"
      "  compopt -o filenames 2>/dev/null\n"
      "  COMPREPLY=($(compgen \"$1\" -- \"$cur\"))\n"
      "}\n"
      "\n"
      "_dobrenz() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      "  local options operand\n"
      "  COMPREPLY=()\n"
      "  # --name=value: bash splits the word at the equals sign.\n"
      "  if [ \"$cur\" = \"=\" ]; then cur=\"\"; fi\n"
      "  if [ \"$prev\" = \"=\" ]; then prev=${COMP_WORDS[COMP_CWORD-2]}; fi\n"
      "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
      "    COMPREPLY=($(compgen -W \"" +
      words(names) +
      "\" -- \"$cur\"))\n"
      "    return\n"
      "  fi\n"
      "  case \"${COMP_WORDS[1]}\" in\n";
  for (const Command* c : commands) out += commandCompletion(*c);
  out +=
      "    *) return ;;\n"
      "  esac\n"
      "  if [[ \"$cur\" == -* || \"$operand\" == no ]]; then\n"
      "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
      "  else\n"
      "    _dobrenz_files -f\n"
      "  fi\n"
      "}\n"
      "\n"
      "complete -F _dobrenz dobrenz\n";
  return out;
}

}  // namespace dz::cli
