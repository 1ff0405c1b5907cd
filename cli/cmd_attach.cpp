// dobrenz attach: the attribute attachment without its dialog.
#include <cstdio>
#include <string>

#include "attributes/attribute_attacher.h"
#include "base/file_io.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/input_run.h"
#include "cli/console.h"

namespace dz::cli {
namespace {

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

// A clean attachment could open every attribute file it needed and was written.
bool attachedCleanly(const AttachmentSummary& s, int writeProblems) {
  return s.parcels.unreadable == 0 && s.boundaryPoints.unreadable == 0 && s.houses.unreadable == 0 &&
         writeProblems == 0;
}

// What an attribute file held that the attachment took as it stands.
void addFileWarnings(const std::string& path, const AttachmentCounts& c, int fields, const char* kind,
                     Warnings& warnings) {
  const std::string all = "all " + std::to_string(fields) + " fields";
  warnings.lines(shownPath(path), c.unscannedLines, "line does not hold " + all, "lines do not hold " + all,
                 "the fields they lack keep the values of the line before");
  warnings.keys(shownPath(path), c.keysNotFound, std::string("line matches no ") + kind,
                std::string("lines match no ") + kind, "not attached");
}

int runAttach(const Options& options) {
  if (options.has("overwrite") && !options.has("save-as")) throw UsageError{"--overwrite goes with --save-as"};
  const std::string& qelPath = options.value("qel");
  const std::string& saveAs = options.value("save-as");
  if (!fileExists(qelPath)) {
    printError("dobrenz attach: " + shownPath(qelPath) + " does not exist");
    return kExitFailure;
  }
  if (!saveAs.empty() && !sameFile(saveAs, qelPath) && fileExists(saveAs) && !options.has("overwrite")) {
    printError(shownPath(saveAs) + " already exists: pass --overwrite to replace it.");
    return kExitFailure;
  }
  const std::string prefix = argToGbk(options.value("prefix"), "--prefix");
  const std::string& trace = options.value("trace");
  if (!traceIsApart("attach", trace,
                    {{"--qel", qelPath},
                     {"--parcels", options.value("parcels")},
                     {"--boundary-points", options.value("boundary-points")},
                     {"--houses", options.value("houses")},
                     {"--save-as", saveAs}}))
    return kExitFailure;

  HostSession session("", trace);
  session.startTrace();
  // The attribute files are read first, the features after: the bytes read
  // would tell nothing of the run, so it draws no progress.
  InputRun input(options, {});
  HostLibrary& host = session.host();
  const QelHandle file = host.OpenFeatureFile(qelPath.c_str());
  if (file <= 0) {
    printError("dobrenz attach: " + shownPath(session.engine().lastOpenError()));
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

  const AttachmentSummary& counts = attacher.m_summary;
  Warnings warnings;
  input.addWarnings(warnings);
  addFileWarnings(options.value("parcels"), counts.parcels, attributes::ParcelFields::kFields, "parcel", warnings);
  addFileWarnings(options.value("boundary-points"), counts.boundaryPoints, attributes::BoundaryPointFields::kFields,
                  "boundary point", warnings);
  addFileWarnings(options.value("houses"), counts.houses, attributes::HouseFields::kFields, "house", warnings);
  const long refusedLines = input.reportRefusedLines("attach");
  warnings.print("attach");
  const bool failed = !attachedCleanly(counts, 0) || refusedLines > 0;
  const bool heldBack = failsStrictly("attach", input, warnings, failed, saveAs.empty() ? qelPath : saveAs);
  if (heldBack) {
    // Closed unwritten: the file (and a --save-as target) stay as they were.
  } else if (saveAs.empty()) {
    host.CommitFeatureFile(file);
  } else {
    host.PrepareSaveAs(file);
    host.SaveFeatureFileAs(file, saveAs.c_str());
  }
  host.CloseFeatureFile(file);
  const int problems = session.reportProblems();
  if (heldBack) return kExitFailure;
  if (session.failedWrites() > 0) {
    reportNothingWritten("attach", saveAs.empty() ? qelPath : saveAs);
    return kExitFailure;
  }

  const AttachmentSummary& s = attacher.m_summary;
  std::string summary = "features: " + std::to_string(s.features) + " (parcels " + std::to_string(s.parcels.seen) +
                        ", boundary points " + std::to_string(s.boundaryPoints.seen) + ", houses " +
                        std::to_string(s.houses.seen) + ", other " + std::to_string(s.otherKinds);
  if (s.missing > 0) summary += ", unreadable " + std::to_string(s.missing);
  summary += ")\n";
  summary += kindLine("parcels", s.parcels, options.has("parcels"));
  summary += kindLine("boundary points", s.boundaryPoints, options.has("boundary-points"));
  summary += kindLine("houses", s.houses, options.has("houses"));
  summary += saveAs.empty() ? "written to " + shownPath(qelPath) + "\n" : "saved as " + shownPath(saveAs) + "\n";
  if (!input.quiet()) writeOut(summary);
  return attachedCleanly(s, problems) && refusedLines == 0 ? kExitOk : kExitFailure;
}

}  // namespace

const Command& attachCommand() {
  static const Command command{
      "attach",
      "attach attribute files to the parcels, boundary points and houses of a .qel",
      "Gives the parcels, boundary points and houses of a feature file the attribute values\n"
      "that stand in the attribute files (GBK text, one record per line, the key first):\n"
      "a parcel by its parcel number, a boundary point by the name of its first point, a house\n"
      "by its feature name. Without --save-as the feature file is changed in place. Lines that do\n"
      "not hold all their fields and lines whose key matches no feature are told as warnings.",
      {
          fileOption("qel", "FILE.qel", "the feature file whose features receive the attributes").required(),
          fileOption("parcels", "FILE", "parcel attribute file (parcels, feature kind 1)").notEmpty(),
          fileOption("boundary-points", "FILE", "boundary-point attribute file (feature kind 2)").notEmpty(),
          fileOption("houses", "FILE", "house attribute file (feature kind 3)").notEmpty(),
          textOption("prefix", "TEXT", "put TEXT before each parcel number read from the parcel file"),
          fileOption("save-as", "FILE.qel", "write the result here and leave FILE.qel as it was").notEmpty(),
          flagOption("overwrite", "let --save-as replace an existing file"),
          encodingOption(),
          strictOption(),
          quietOption(),
          traceOption(),
      },
      "",
      "",
      runAttach,
  };
  return command;
}

}  // namespace dz::cli
