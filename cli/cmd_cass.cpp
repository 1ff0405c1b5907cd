// dobrenz cass: the CASS conversion without its dialog.
#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "cass/cass_converter.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/held_commits.h"
#include "cli/input_run.h"
#include "cli/work_estimate.h"

namespace dz::cli {
namespace {

// A clean conversion read every file it needed and wrote all of it.
bool convertedCleanly(const CCassConverter::Outcome& o, int problems) {
  return o.committed && problems == 0 && o.codeTableMissing == 0 && o.qsMissing == 0 && o.parcelFileMissing == 0 &&
         o.tooLong.count == 0;
}

// Parcels that needed a side file the command line did not give: told once,
// with the option to give, where the plug-in tells each parcel.
void reportUnsetSideFiles(const Options& options, const CCassConverter::Outcome& o) {
  const bool qsUnset = options.value("qs").empty();
  const bool parcelsUnset = options.value("parcels").empty();
  const auto parcels = [](int n) { return std::to_string(n) + (n == 1 ? " parcel needs " : " parcels need "); };
  if (qsUnset && o.qsMissing > 0) {
    printError("dobrenz cass: " + parcels(o.qsMissing) +
               (parcelsUnset ? "a parcel boundary file and a parcel attribute file: give --qs FILE and --parcels FILE"
                             : "a parcel boundary file: give --qs FILE") +
               "; " + (o.qsMissing == 1 ? "it was" : "they were") + " not converted");
  } else if (parcelsUnset && o.parcelFileMissing > 0) {
    printError("dobrenz cass: " + parcels(o.parcelFileMissing) + "a parcel attribute file: give --parcels FILE; " +
               (o.parcelFileMissing == 1 ? "it was" : "they were") + " not written");
  }
}

// What the files held that the conversion took as it stands.
void addConversionWarnings(const Options& options, const CCassConverter::Outcome& o, Warnings& warnings) {
  warnings.lines(shownPath(options.value("cas")), o.unscannedCoordinates, "coordinate line does not hold two numbers",
                 "coordinate lines do not hold two numbers", "the vertex keeps the values of an earlier one");
  warnings.keys(shownPath(options.value("qs")), o.parcelsWithoutRing, "parcel is not in the file",
                "parcels are not in the file", "written without their boundary points");
  warnings.keys(shownPath(options.value("parcels")), o.parcelsWithoutAttributes, "parcel has no line in the file",
                "parcels have no line in the file", "not written");
}

int runCass(const Options& options) {
  const OutputChoice choice = outputChoice(options);
  const std::string& out = options.value("out");
  const std::string& trace = options.value("trace");
  HostSession session(options.value("host-dir"), trace);
  if (!traceIsApart("cass", trace,
                    {{"--cas", options.value("cas")},
                     {"--qs", options.value("qs")},
                     {"--parcels", options.value("parcels")},
                     {"--out", out},
                     {"the code table", joinPath(session.hostDir(), "CASSCode.txt")}}))
    return kExitFailure;
  if (!prepareOutputFile(session, out, choice)) return kExitFailure;
  session.startTrace();

  InputRun input(options, {options.value("cas"), options.value("qs"), options.value("parcels")});
  // Under --strict the output is committed only once the warnings are known.
  HeldCommits held(session.host());
  ConsoleMessages messages;
  CCassConverter converter(input.strict() ? held : session.host(), messages);
  converter.m_strQsPath = options.value("qs");
  converter.m_strOutputPath = out;
  converter.m_strParcelPath = options.value("parcels");
  converter.m_strCasPath = options.value("cas");
  converter.m_bTellUnsetSideFiles = false;
  expectWorkFrom(session.engine(), out, fileSize(converter.m_strCasPath), kCasDensity);
  converter.Run();
  input.finish();
  const CCassConverter::Outcome& outcome = converter.LastOutcome();
  messages.flush();
  if (outcome.casOpened && !outcome.outputOpened && !session.engine().lastOpenError().empty())
    printError("dobrenz cass: " + shownPath(session.engine().lastOpenError()));
  if (outcome.codeTableMissing > 0)
    reportMissingCodeTable("cass", "CASSCode.txt", session.hostDir(), options.value("host-dir"));
  reportUnsetSideFiles(options, outcome);
  reportRefusedFeatures("cass", outcome.tooLong);

  Warnings warnings;
  input.addWarnings(warnings);
  if (outcome.casOpened) addConversionWarnings(options, outcome, warnings);
  const long refusedLines = input.reportRefusedLines("cass");
  warnings.print("cass");
  const bool failed = outcome.codeTableMissing > 0 || outcome.qsMissing > 0 || outcome.parcelFileMissing > 0 ||
                      outcome.tooLong.count > 0 || refusedLines > 0;
  const bool heldBack = outcome.committed && failsStrictly("cass", input, warnings, failed, out);
  held.release(!heldBack);
  const int problems = session.reportProblems();
  // The closing message and the summary only for an output that was written.
  if (!outcome.committed || heldBack) return kExitFailure;
  if (session.failedWrites() > 0) {
    reportNothingWritten("cass", out);
    return kExitFailure;
  }
  messages.ShowMessage(CCassConverter::kConvertedMessage, ui::kMbOk);
  messages.flush();
  if (!input.quiet()) {
    printOut("points written:   %d\n", converter.m_nPointsAdded);
    printOut("features written: %d (parcels %d, parcel labels %d, houses %d)\n", converter.m_nFeaturesAdded,
             converter.m_nParcelsAdded, converter.m_nLabelsAdded, converter.m_nHousesAdded);
    printOut("texts written:    %d\n", converter.m_nTextsAdded);
    printOut("messages shown:   %d\n", messages.shownCount());
  }
  return convertedCleanly(outcome, problems) && refusedLines == 0 ? kExitOk : kExitFailure;
}

}  // namespace

const Command& cassCommand() {
  static const Command command{
      "cass",
      "convert a CASS exchange file (.cas) into a feature file",
      "Converts a CASS exchange file into a feature file, mapping codes through\n"
      "CASSCode.txt in the host directory. Parcels take their rings from the .qs file\n"
      "and their attributes from the parcel attribute file: a file without parcels\n"
      "needs neither. Messages go to standard error, then warnings of what the files\n"
      "held that was taken as it stands; a summary of what was written goes to\n"
      "standard output once the output is written. Exit status 0 when every file was\n"
      "read and all of it written, 1 when a file was missing or could not be opened\n"
      "or written, a feature had more vertices than a feature holds, or a line could\n"
      "not be read in the encoding given (the messages say which).",
      {
          fileOption("cas", "FILE", "the CASS exchange file to convert").required(),
          fileOption("qs", "FILE", "the parcel boundary file (.qs), needed when the file has parcels").notEmpty(),
          fileOption("parcels", "FILE", "the parcel attribute file (.txt), needed when the file has parcels")
              .notEmpty(),
          fileOption("out", "FILE.qel", "the feature file to write").required(),
          hostDirOption("CASSCode.txt"),
          encodingOption(),
          strictOption(),
          quietOption(),
          traceOption(),
          overwriteOption(),
          appendOption(),
      },
      "",
      "",
      runCass,
  };
  return command;
}

}  // namespace dz::cli
