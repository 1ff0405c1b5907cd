// dobrenz epsw: the EPSW conversion without its dialog.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define DZ_ISATTY _isatty
#define DZ_FILENO _fileno
#else
#include <unistd.h>
#define DZ_ISATTY isatty
#define DZ_FILENO fileno
#endif

#include "base/file_io.h"
#include "base/gbk.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/held_commits.h"
#include "cli/input_run.h"
#include "cli/console.h"
#include "cli/work_estimate.h"
#include "epsw/epsw_converter.h"

namespace dz::cli {
namespace {

// Puts a Yes/No question on the terminal until it is answered; at the end of
// the input the point is converted.
int askOnTerminal(const std::string& gbkQuestion, bool& inputEnded) {
  TerminalProgress::breakLine();
  for (;;) {
    writeErr(gbkToUtf8(gbkQuestion) + " [y/n] ");
    char answer[256];
    if (!std::fgets(answer, sizeof answer, stdin)) {
      writeErr("\n");
      inputEnded = true;
      return ui::kIdYes;
    }
    std::string word(answer);
    while (!word.empty() && (word.back() == '\n' || word.back() == '\r' || word.back() == ' ')) word.pop_back();
    if (word == "y" || word == "Y" || word == "yes") return ui::kIdYes;
    if (word == "n" || word == "N" || word == "no") return ui::kIdNo;
  }
}

// "1 point", "3 points"
std::string counted(int n, const char* noun) { return std::to_string(n) + " " + noun + (n == 1 ? "" : "s"); }

// "3 far points or texts (beyond 100000000)"
std::string farCount(int n) {
  return std::to_string(n) + (n == 1 ? " far point or text" : " far points or texts") + " (beyond 100000000)";
}

// A clean conversion converted every selected file into its output and
// found the code table at every feature line.
bool convertedCleanly(const CEpswConverter::Outcome& o, int problems) {
  return o.completed && o.codeTableMissing == 0 && problems == 0 && o.tooLong.count == 0;
}

// What the files held that the conversion took as it stands.
void addConversionWarnings(const Options& options, const CEpswConverter::Outcome& o, Warnings& warnings) {
  warnings.lines(shownPath(options.value("cor")), o.corUnscanned, "line does not hold all its fields",
                 "lines do not hold all their fields", "the fields they lack keep the values of the line before");
  warnings.lines(shownPath(options.value("not")), o.notUnscanned, "line does not hold all its fields",
                 "lines do not hold all their fields", "the fields they lack keep the values of the record before");
}

// "2 features padded short of their announced vertex count (lines 4, 9): 65530 empty entries left out, ..."
void reportPaddingLeftOut(const CEpswConverter::Outcome& o) {
  if (o.paddedShort.count == 0) return;
  printError("dobrenz epsw: " + counted(o.paddedShort.count, "feature") + " announce more vertices than the file " +
             "gives (" + linesText(o.paddedShort) + "): padded with " +
             "empty entries only as far as the lines of the file go, " + std::to_string(o.entriesNotPadded) +
             " left out");
}

int runEpsw(const Options& options) {
  const std::string farPoints = options.value("far-points");
  const OutputChoice choice = outputChoice(options);
  const bool onTerminal = DZ_ISATTY(DZ_FILENO(stdin)) != 0;

  const std::string& trace = options.value("trace");
  HostSession session(options.value("host-dir"), trace);
  // Only the files selected are read.
  std::vector<NamedFile> files{{"--out", options.value("out")},
                               {"the code table", joinPath(session.hostDir(), "EPSWconvert.txt")}};
  if (options.has("cor")) files.push_back({"--cor", options.value("cor")});
  if (options.has("not")) files.push_back({"--not", options.value("not")});
  if (!traceIsApart("epsw", trace, files)) return kExitFailure;

  InputRun input(options, {options.value("cor"), options.value("not")});
  // Under --strict the output is committed only once the warnings are known.
  HeldCommits held(session.host());
  ConsoleMessages messages;
  int unasked = 0;
  bool inputEnded = false;
  messages.setQuestionHandler([&](const std::string& question) {
    if (farPoints == "drop") return ui::kIdNo;
    if (farPoints == "convert") return ui::kIdYes;
    if (onTerminal && !inputEnded) return askOnTerminal(question, inputEnded);
    ++unasked;
    return ui::kIdYes;
  });

  CEpswConverter converter(input.strict() ? held : session.host(), messages);
  // Giving a file is checking its box.
  converter.m_bConvertCor = options.has("cor") ? 1 : 0;
  converter.m_bConvertNot = options.has("not") ? 1 : 0;
  converter.m_strCorPath = options.value("cor");
  converter.m_strNotPath = options.value("not");
  converter.m_strOutputPath = options.value("out");

  // The settings are checked before the output file, so that their messages
  // come first, as in the dialog.
  const bool ran = converter.CheckSettings() && prepareOutputFile(session, converter.m_strOutputPath, choice);
  if (ran) {
    session.startTrace();
    if (converter.m_bConvertCor)
      expectWorkFrom(session.engine(), converter.m_strOutputPath, fileSize(converter.m_strCorPath), kCorDensity);
    converter.OnOK();
  }
  input.finish();
  const CEpswConverter::Outcome& outcome = converter.LastOutcome();
  // A completed run's last message is its closing one: told once the output is known to be written.
  const std::string closing = ran && outcome.completed ? messages.takePending() : std::string();
  messages.flush();
  if (outcome.codeTableMissing > 0)
    reportMissingCodeTable("epsw", "EPSWconvert.txt", session.hostDir(), options.value("host-dir"));
  if (ran && !outcome.outputOpened && !session.engine().lastOpenError().empty())
    printError("dobrenz epsw: " + shownPath(session.engine().lastOpenError()));
  if (unasked > 0)
    printError("dobrenz epsw: " + farCount(unasked) +
               " converted without asking, as there is no terminal; pass --far-points drop to leave such out");
  if (farPoints == "convert" && outcome.farConverted > 0)
    printError("dobrenz epsw: converted " + farCount(outcome.farConverted));
  if (outcome.farDropped > 0) printError("dobrenz epsw: dropped " + farCount(outcome.farDropped));
  reportRefusedFeatures("epsw", outcome.tooLong);
  reportPaddingLeftOut(outcome);

  Warnings warnings;
  input.addWarnings(warnings);
  if (outcome.outputOpened) addConversionWarnings(options, outcome, warnings);
  const long refusedLines = input.reportRefusedLines("epsw");
  warnings.print("epsw");
  const bool failed = !outcome.completed || outcome.codeTableMissing > 0 || outcome.tooLong.count > 0 ||
                      outcome.paddedShort.count > 0 || refusedLines > 0;
  const bool heldBack = outcome.committed && failsStrictly("epsw", input, warnings, failed, converter.m_strOutputPath);
  held.release(!heldBack);
  const int problems = session.reportProblems();

  if (!outcome.committed || heldBack) return kExitFailure;
  if (session.failedWrites() > 0) {
    reportNothingWritten("epsw", converter.m_strOutputPath);
    return kExitFailure;
  }
  if (!closing.empty()) {
    messages.ShowMessage(closing, ui::kMbOk);
    messages.flush();
  }
  if (!input.quiet())
    printOut("%s, %s and %s written to %s\n", counted(converter.m_nPointsWritten, "point").c_str(),
             counted(converter.m_nFeaturesWritten, "feature").c_str(),
             counted(converter.m_nTextsWritten, "text").c_str(), shownPath(converter.m_strOutputPath).c_str());
  return ran && convertedCleanly(outcome, problems) && refusedLines == 0 ? kExitOk : kExitFailure;
}

}  // namespace

const Command& epswCommand() {
  static const Command command{
      "epsw",
      "convert EPSW .cor and .not files into a feature file",
      "Converts the points and lines of an EPSW .cor file and the annotations of a .not file into a\n"
      "feature file, as the EPSW conversion dialog does. Giving a file selects it; give one or both.\n"
      "Feature codes are mapped through EPSWconvert.txt in the host directory. Lines that do not\n"
      "hold all their fields are told as warnings at the end.\n"
      "\n"
      "A point or text farther than 100000000 from the origin is asked about, as the dialog asks\n"
      "whether to convert it. With --far-points ask the question is put on the terminal (answer y or\n"
      "n); when standard input is not a terminal such points are converted and their number is\n"
      "reported, so none is lost unnoticed. convert and drop answer every such question without\n"
      "asking.",
      {
          fileOption("cor", "FILE", "the EPSW point-and-line file to convert"),
          fileOption("not", "FILE", "the EPSW annotation file to convert"),
          // Not required here: an empty or missing path is the dialog's empty box, told as it tells it.
          fileOption("out", "FILE.qel", "the feature file that receives them"),
          hostDirOption("EPSWconvert.txt"),
          encodingOption(),
          strictOption(),
          quietOption(),
          traceOption(),
          choiceOption("far-points", "ask|convert|drop",
                       "points and texts beyond 100000000: ask (converted when there is no terminal), convert "
                       "or drop")
              .byDefault("ask"),
          overwriteOption(),
          appendOption(),
      },
      "",
      "",
      runEpsw,
  };
  return command;
}

}  // namespace dz::cli
