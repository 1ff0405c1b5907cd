// dobrenz attach --qel FILE.qel [--parcels FILE] [--boundary-points FILE]
//                [--houses FILE] [--prefix TEXT] [--save-as FILE.qel] [--trace FILE]
#include <cstdio>
#include <string>

#include "attributes/attribute_attacher.h"
#include "base/file_io.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

namespace dz::cli {
namespace {

const std::vector<OptionSpec> kSpec = {
    {"qel", true, "the feature file whose features receive the attributes", "FILE.qel"},
    {"parcels", true, "parcel attribute file (parcels, feature kind 1)", "FILE"},
    {"boundary-points", true, "boundary-point attribute file (feature kind 2)", "FILE"},
    {"houses", true, "house attribute file (feature kind 3)", "FILE"},
    {"prefix", true, "put TEXT before each parcel number read from the parcel file", "TEXT"},
    {"save-as", true, "write the result here and leave FILE.qel as it was", "FILE.qel"},
    {"overwrite", false, "let --save-as replace an existing file"},
    {"trace", true, "write a log of every host call to FILE", "FILE"},
};

std::string plural(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// One line per attached kind: what became of its features.
std::string kindLine(const char* name, const AttachmentCounts& c, bool fileGiven) {
  std::string line = std::string(name) + ": ";
  if (!fileGiven) return line + "no file given, " + plural(c.seen, "feature", "features") + " untouched\n";
  line += std::to_string(c.attached) + " attached, " + std::to_string(c.unmatched) + " unmatched";
  if (c.unreadable > 0) line += ", " + std::to_string(c.unreadable) + " not attached (file cannot be opened)";
  if (c.skipped > 0) line += ", " + std::to_string(c.skipped) + " without points";
  return line + "\n";
}

}  // namespace

int runAttach(const Args& args) {
  Options options(args, kSpec);
  if (options.wantsHelp()) {
    std::fputs(formatUsage("dobrenz attach --qel FILE.qel [--parcels FILE] [--boundary-points FILE] [--houses FILE]\n"
                           "                      [--prefix TEXT] [--save-as FILE.qel [--overwrite]] [--trace FILE]",
                           "Gives the parcels, boundary points and houses of a feature file the attribute values\n"
                           "that stand in the attribute files (GBK text, one record per line, the key first):\n"
                           "a parcel by its parcel number, a boundary point by the name of its first point, a house\n"
                           "by its feature name. Without --save-as the feature file is changed in place.",
                           kSpec)
                   .c_str(),
               stdout);
    return kExitOk;
  }
  if (!options.positional().empty()) throw UsageError{"unexpected argument '" + options.positional()[0] + "'"};
  if (!options.has("qel") || options.value("qel").empty()) throw UsageError{"--qel FILE.qel is required"};
  if (options.has("overwrite") && !options.has("save-as")) throw UsageError{"--overwrite goes with --save-as"};
  for (const char* name : {"parcels", "boundary-points", "houses", "save-as"})
    if (options.has(name) && options.value(name).empty()) throw UsageError{std::string("--") + name + " needs a file"};

  const std::string qelPath = options.value("qel");
  const std::string saveAs = options.value("save-as");
  if (!fileExists(qelPath)) {
    printError("dobrenz attach: " + qelPath + " does not exist");
    return kExitFailure;
  }
  if (!saveAs.empty() && saveAs != qelPath && fileExists(saveAs) && !options.has("overwrite")) {
    printError(saveAs + " already exists: pass --overwrite to replace it.");
    return kExitFailure;
  }
  const std::string prefix = argToGbk(options.value("prefix"), "--prefix");

  HostSession session("", options.value("trace"));
  HostLibrary& host = session.host();
  const QelHandle file = host.OpenFeatureFile(qelPath.c_str());
  if (file <= 0) {
    printError("dobrenz attach: " + session.engine().lastOpenError());
    return kExitFailure;
  }

  ConsoleMessages messages;
  CAttributeAttacher attacher(host, messages);
  attacher.m_strCategoryPath[CAttributeAttacher::kParcelCategory] = options.value("parcels");
  attacher.m_strCategoryPath[CAttributeAttacher::kBoundaryPointCategory] = options.value("boundary-points");
  attacher.m_strCategoryPath[CAttributeAttacher::kHouseCategory] = options.value("houses");
  attacher.m_strPrefix = prefix;
  attacher.m_bUsePrefix = options.has("prefix") ? 1 : 0;
  attacher.Run(file);
  messages.flush();

  if (saveAs.empty()) {
    host.CommitFeatureFile(file);
  } else {
    host.PrepareSaveAs(file);
    host.SaveFeatureFileAs(file, saveAs.c_str());
  }
  host.CloseFeatureFile(file);
  const int problems = session.reportProblems();

  const AttachmentSummary& s = attacher.m_summary;
  std::string summary = "features: " + std::to_string(s.features) + " (parcels " + std::to_string(s.parcels.seen) +
                        ", boundary points " + std::to_string(s.boundaryPoints.seen) + ", houses " +
                        std::to_string(s.houses.seen) + ", other " + std::to_string(s.otherKinds);
  if (s.missing > 0) summary += ", unreadable " + std::to_string(s.missing);
  summary += ")\n";
  summary += kindLine("parcels", s.parcels, options.has("parcels"));
  summary += kindLine("boundary points", s.boundaryPoints, options.has("boundary-points"));
  summary += kindLine("houses", s.houses, options.has("houses"));
  if (problems == 0) summary += saveAs.empty() ? "written to " + qelPath + "\n" : "saved as " + saveAs + "\n";
  std::fputs(summary.c_str(), stdout);

  const bool unreadable = s.parcels.unreadable + s.boundaryPoints.unreadable + s.houses.unreadable > 0;
  return problems > 0 || unreadable ? kExitFailure : kExitOk;
}

}  // namespace dz::cli
