// The manual page and the bash completion made from a command table: what
// the table says reaches the page, in troff that prints it as written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/reference.h"

namespace dz::cli {
namespace {

int runNothing(const Options&) { return kExitOk; }

const Command& sampleCommand() {
  static const Command command{
      "convert",
      "convert a thing",
      "Converts a thing. The line that follows starts with a dot:\n"
      ".qel files are written whole.\n"
      "\n"
      "A second paragraph; an example kept as it is:\n"
      "  --mode fast --out C:\\data\\x.qel\n"
      "and text after it.",
      {
          fileOption("out", "FILE.qel", "the file to write").required(),
          choiceOption("mode", "fast|slow", "how to convert").byDefault("fast"),
          textOption("sep", "TEXT", "the separator").byDefault(","),
          flagOption("dry-run", "write nothing"),
      },
      "",
      "",
      runNothing,
  };
  return command;
}

std::string page() { return manPage({&sampleCommand()}, "dobrenz 9.8.7"); }

bool has(const std::string& text, const std::string& fragment) { return text.find(fragment) != std::string::npos; }

TEST(ManPage, CarriesTheVersionAndTheSynopsisOfEachCommand) {
  const std::string p = page();
  EXPECT_TRUE(has(p, ".TH DOBRENZ 1 \"\" \"dobrenz 9.8.7\""));
  EXPECT_TRUE(has(p, "\ndobrenz convert \\-\\-out FILE.qel [OPTIONS]\n"));
  EXPECT_TRUE(has(p, ".SS \"dobrenz convert\"\n"));
}

TEST(ManPage, EveryOptionIsAnEntryWithItsValueDefaultAndRequirement) {
  const std::string p = page();
  EXPECT_TRUE(has(p, ".TP\n\\fB\\-\\-out\\fR \\fIFILE.qel\\fR\nthe file to write (required)\n"));
  EXPECT_TRUE(has(p, ".TP\n\\fB\\-\\-mode\\fR \\fIfast|slow\\fR\nhow to convert (default: fast)\n"));
  EXPECT_TRUE(has(p, "the separator (default: \",\")\n"));
  EXPECT_TRUE(has(p, ".TP\n\\fB\\-\\-dry\\-run\\fR\nwrite nothing\n"));
}

TEST(ManPage, ALineStartingWithADotIsNotReadAsARequest) {
  EXPECT_TRUE(has(page(), "\n\\&.qel files are written whole.\n"));
}

TEST(ManPage, BackslashesAndMinusSignsPrintAsWritten) {
  EXPECT_TRUE(has(page(), "\\-\\-mode fast \\-\\-out C:\\edata\\ex.qel\n"));
}

TEST(ManPage, IndentedLinesAreKeptAndParagraphsSeparated) {
  const std::string p = page();
  EXPECT_TRUE(
      has(p, "Converts a thing. The line that follows starts with a dot:\n\\&.qel files are written whole.\n.PP\n"));
  EXPECT_TRUE(has(p, ".RS 2\n.nf\n\\-\\-mode fast \\-\\-out C:\\edata\\ex.qel\n.fi\n.RE\nand text after it.\n"));
}

TEST(BashCompletion, OffersTheCommandsAndEachCommandsOptions) {
  const std::string script = bashCompletion({&sampleCommand()});
  EXPECT_TRUE(has(script, "compgen -W \"convert --help --version\""));
  EXPECT_TRUE(has(script, "options=\"--out --mode --sep --dry-run --help\""));
  EXPECT_TRUE(has(script, "complete -F _dobrenz dobrenz\n"));
}

TEST(BashCompletion, ValuesFollowTheKindOfTheOption) {
  const std::string script = bashCompletion({&sampleCommand()});
  EXPECT_TRUE(has(script, "--out) _dobrenz_files -f; return ;;"));
  EXPECT_TRUE(has(script, "--mode) COMPREPLY=($(compgen -W \"fast slow\" -- \"$cur\")); return ;;"));
  // Nothing is offered for free text: the words of the command line would mislead.
  EXPECT_TRUE(has(script, "--sep) return ;;"));
}

}  // namespace
}  // namespace dz::cli
