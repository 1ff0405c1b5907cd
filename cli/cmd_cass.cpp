// dobrenz cass: the CASS conversion without its dialog.
#include <cstdio>
#include <string>

#include "cass/cass_converter.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

namespace dz::cli {

int runCass(const Args& args) {
  const std::vector<OptionSpec> spec = {
      {"cas", true, "the CASS exchange file to convert", "FILE"},
      {"qs", true, "the parcel boundary file (.qs)", "FILE"},
      {"parcels", true, "the parcel attribute file (.txt)", "FILE"},
      {"out", true, "the feature file to write (.qel)", "FILE"},
      {"host-dir", true, "where CASSCode.txt lies (default: $QEL_HOST_DIR, else the current directory)", "DIR"},
      {"trace", true, "write a log of every host call to FILE", "FILE"},
      {"overwrite", false, "replace an existing --out file"},
      {"append", false, "convert into an existing --out file"},
  };
  Options options(args, spec);
  if (options.wantsHelp()) {
    std::fputs(formatUsage("dobrenz cass --cas FILE --qs FILE --parcels FILE --out FILE.qel [OPTIONS]",
                           "Converts a CASS exchange file into a feature file, mapping codes through\n"
                           "CASSCode.txt in the host directory. Messages go to standard error; a summary\n"
                           "of what was written goes to standard output. Exit status 0 when the\n"
                           "conversion ran without a message, 1 when a message reported a problem.",
                           spec)
                   .c_str(),
               stdout);
    return kExitOk;
  }
  if (!options.positional().empty()) throw UsageError{"unexpected argument '" + options.positional()[0] + "'"};
  for (const char* required : {"cas", "qs", "parcels", "out"})
    if (!options.has(required) || options.value(required).empty())
      throw UsageError{std::string("--") + required + " is required"};

  HostSession session(options.value("host-dir"), options.value("trace"));
  const std::string& out = options.value("out");
  if (!prepareOutputFile(session, out, options.has("overwrite"), options.has("append"))) return kExitFailure;

  ConsoleMessages messages;
  CCassConverter converter(session.host(), messages);
  converter.m_strQsPath = options.value("qs");
  converter.m_strOutputPath = out;
  converter.m_strParcelPath = options.value("parcels");
  converter.m_strCasPath = options.value("cas");
  const bool converted = converter.Run();
  if (!converted && !session.engine().lastOpenError().empty()) {
    messages.flush();
    printError("dobrenz cass: " + session.engine().lastOpenError());
  }
  const int problems = session.reportProblems();
  // The closing message only after a conversion whose output was written.
  const std::string done = "转换完毕！！";
  if (converted && problems == 0) messages.ShowMessage(done, ui::kMbOk);
  messages.flush();

  const int failures = messages.countOtherThan(done);
  std::printf("points written:   %d\n", converter.m_nPointsAdded);
  std::printf("features written: %d (parcels %d, parcel labels %d, houses %d)\n", converter.m_nFeaturesAdded,
              converter.m_nParcelsAdded, converter.m_nLabelsAdded, converter.m_nHousesAdded);
  std::printf("texts written:    %d\n", converter.m_nTextsAdded);
  std::printf("messages shown:   %d\n", static_cast<int>(messages.shown().size()));
  std::fflush(stdout);
  return converted && problems == 0 && failures == 0 ? kExitOk : kExitFailure;
}

}  // namespace dz::cli
