// dobrenz cass: the CASS conversion without its dialog.
#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "cass/cass_converter.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"

namespace dz::cli {
namespace {

// A clean conversion read every file it needed and wrote all of it.
bool convertedCleanly(const CCassConverter::Outcome& o, int problems) {
  return o.committed && problems == 0 && o.codeTableMissing == 0 && o.qsMissing == 0 && o.parcelFileMissing == 0 &&
         o.tooLong.count == 0;
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

  ConsoleMessages messages;
  CCassConverter converter(session.host(), messages);
  converter.m_strQsPath = options.value("qs");
  converter.m_strOutputPath = out;
  converter.m_strParcelPath = options.value("parcels");
  converter.m_strCasPath = options.value("cas");
  converter.Run();
  const CCassConverter::Outcome& outcome = converter.LastOutcome();
  messages.flush();
  if (outcome.casOpened && !outcome.outputOpened && !session.engine().lastOpenError().empty())
    printError("dobrenz cass: " + shownPath(session.engine().lastOpenError()));
  const int problems = session.reportProblems();
  reportRefusedFeatures("cass", outcome.tooLong);
  // The closing message and the summary only for an output that was written.
  if (!outcome.committed) return kExitFailure;
  if (session.failedWrites() > 0) {
    reportNothingWritten("cass", out);
    return kExitFailure;
  }
  messages.ShowMessage(CCassConverter::kConvertedMessage, ui::kMbOk);
  messages.flush();
  printOut("points written:   %d\n", converter.m_nPointsAdded);
  printOut("features written: %d (parcels %d, parcel labels %d, houses %d)\n", converter.m_nFeaturesAdded,
             converter.m_nParcelsAdded, converter.m_nLabelsAdded, converter.m_nHousesAdded);
  printOut("texts written:    %d\n", converter.m_nTextsAdded);
  printOut("messages shown:   %d\n", messages.shownCount());
  return convertedCleanly(outcome, problems) ? kExitOk : kExitFailure;
}

}  // namespace

const Command& cassCommand() {
  static const Command command{
      "cass",
      "convert a CASS exchange file (.cas) into a feature file",
      "Converts a CASS exchange file into a feature file, mapping codes through\n"
      "CASSCode.txt in the host directory. Messages go to standard error; a summary\n"
      "of what was written goes to standard output once the output is written. Exit\n"
      "status 0 when every file was read and all of it written, 1 when a file was\n"
      "missing or could not be opened or written, or a feature had more vertices\n"
      "than a feature holds (the messages say which).",
      {
          fileOption("cas", "FILE", "the CASS exchange file to convert").required(),
          fileOption("qs", "FILE", "the parcel boundary file (.qs)").required(),
          fileOption("parcels", "FILE", "the parcel attribute file (.txt)").required(),
          fileOption("out", "FILE.qel", "the feature file to write").required(),
          hostDirOption("CASSCode.txt"),
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
