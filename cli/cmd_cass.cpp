// dobrenz cass: the CASS conversion without its dialog.
#include <cstdio>
#include <string>

#include "cass/cass_converter.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"

namespace dz::cli {
namespace {

// A clean conversion read every file it needed and wrote its output.
bool convertedCleanly(const CCassConverter::Outcome& o, int writeProblems) {
  return o.committed && writeProblems == 0 && o.codeTableMissing == 0 && o.qsMissing == 0 &&
         o.parcelFileMissing == 0;
}

int runCass(const Options& options) {
  const OutputChoice choice = outputChoice(options);
  HostSession session(options.value("host-dir"), options.value("trace"));
  const std::string& out = options.value("out");
  if (!prepareOutputFile(session, out, choice)) return kExitFailure;

  ConsoleMessages messages;
  CCassConverter converter(session.host(), messages);
  converter.m_strQsPath = options.value("qs");
  converter.m_strOutputPath = out;
  converter.m_strParcelPath = options.value("parcels");
  converter.m_strCasPath = options.value("cas");
  converter.Run();
  const CCassConverter::Outcome& outcome = converter.LastOutcome();
  if (outcome.casOpened && !outcome.outputOpened && !session.engine().lastOpenError().empty()) {
    messages.flush();
    printError("dobrenz cass: " + shownPath(session.engine().lastOpenError()));
  }
  const int problems = session.reportProblems();
  // The closing message only after a conversion whose output was written.
  if (outcome.committed && problems == 0) messages.ShowMessage(CCassConverter::kConvertedMessage, ui::kMbOk);
  messages.flush();

  printOut("points written:   %d\n", converter.m_nPointsAdded);
  printOut("features written: %d (parcels %d, parcel labels %d, houses %d)\n", converter.m_nFeaturesAdded,
           converter.m_nParcelsAdded, converter.m_nLabelsAdded, converter.m_nHousesAdded);
  printOut("texts written:    %d\n", converter.m_nTextsAdded);
  printOut("messages shown:   %d\n", messages.shownCount());
  std::fflush(stdout);
  return convertedCleanly(outcome, problems) ? kExitOk : kExitFailure;
}

}  // namespace

const Command& cassCommand() {
  static const Command command{
      "cass",
      "convert a CASS exchange file (.cas) into a feature file",
      "Converts a CASS exchange file into a feature file, mapping codes through\n"
      "CASSCode.txt in the host directory. Messages go to standard error; a summary\n"
      "of what was written goes to standard output. Exit status 0 when every file\n"
      "was read and the output written, 1 when a file was missing or could not be\n"
      "opened or written (the messages say which).",
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
