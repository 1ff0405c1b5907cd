// dobrenz points: the point import of the text data dialog without the dialog.
#include <cstdio>
#include <string>

#include "base/fixed_field.h"
#include "base/gbk.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "textpoints/text_point_importer.h"

namespace dz::cli {
namespace {

struct LayoutDefaults {
  int east, north, elev, code;
};
// Row: the common name,code,E,N,Z file. Column: E, N and Z on three lines.
constexpr LayoutDefaults kRowDefaults = {3, 4, 5, 2};
constexpr LayoutDefaults kColumnDefaults = {1, 2, 3, -1};

// Fills the importer's settings as the dialog's controls would.
void applySettings(const Options& options, CTextPointImporter& importer) {
  const bool row = options.value("layout") == "row";
  importer.m_nLayout = row ? CTextPointImporter::kRowLayout : CTextPointImporter::kColumnLayout;
  if (row)
    for (const char* columnOnly : {"cycle", "value-field"})
      if (options.has(columnOnly)) throw UsageError{std::string("--") + columnOnly + " applies to --layout column"};
  const LayoutDefaults& d = row ? kRowDefaults : kColumnDefaults;
  importer.m_nEastPos = options.has("east") ? options.number("east") : d.east;
  importer.m_nNorthPos = options.has("north") ? options.number("north") : d.north;
  importer.m_nElevPos = options.has("elev") ? options.number("elev") : d.elev;
  importer.m_nCodePos = options.has("code") ? options.number("code") : d.code;
  importer.m_nCycle = options.number("cycle");
  // The import itself ends silently on a cycle of 0; here that is a mistake worth saying.
  if (!row && importer.m_nCycle == 0) throw UsageError{"--cycle 0 reads no point: give the lines per point"};
  importer.m_nValueField = options.number("value-field");
  importer.m_strSeparator = argToGbk(options.value("sep"), "--sep");

  const bool customWanted = options.has("prefix") || options.has("start");
  const bool custom = options.has("numbering") ? options.value("numbering") == "custom" : customWanted;
  importer.m_nNumbering = custom ? CTextPointImporter::kCustomNumbering : CTextPointImporter::kAutoNumbering;
  if (!custom && customWanted) throw UsageError{"--prefix and --start apply to --numbering custom"};
  importer.m_strPrefix = argToGbk(options.value("prefix"), "--prefix");
  importer.m_nStartNo = options.number("start");
  const std::string base = argToGbk(options.value("base"), "--base");
  if (base.size() > kNameWidth) throw UsageError{"--base '" + options.value("base") + "' is longer than 12 bytes"};
  copyName(importer.m_szPointName, base);

  const std::string& dup = options.value("dup");
  importer.m_nDupPolicy = dup == "rename"   ? CTextPointImporter::kDupRename
                          : dup == "update" ? CTextPointImporter::kDupUpdate
                                            : CTextPointImporter::kDupIgnore;
}

// A clean import read the whole file, gave every point a name and was written.
bool importedCleanly(const CTextPointImporter& importer, int writeProblems) {
  const CTextPointImporter::Outcome& o = importer.LastOutcome();
  return o.completed && !o.baseKept && importer.LastCounts().refused == 0 && writeProblems == 0;
}

int runPoints(const Options& options) {
  const std::string& qelPath = options.value("qel");
  const std::string& textPath = options.value("file");
  const std::string& trace = options.value("trace");

  HostSession session("", trace);
  ConsoleMessages messages;
  CTextPointImporter importer(session.host(), messages);
  applySettings(options, importer);
  importer.m_strPath = textPath;
  if (sameFile(textPath, qelPath)) {
    printError("dobrenz points: --file " + textPath + " is " + qelPath +
               ", the feature file of --qel: give the point text file; nothing was changed");
    return kExitFailure;
  }
  if (!traceIsApart("points", trace, {{"--qel", qelPath}, {"--file", textPath}})) return kExitFailure;
  session.startTrace();

  const QelHandle file = session.host().OpenFeatureFile(qelPath.c_str());
  if (file <= 0) {
    printError("dobrenz points: " + shownPath(session.engine().lastOpenError()));
    return kExitFailure;
  }
  importer.m_hFile = file;
  importer.ImportPoints();
  const CTextPointImporter::Outcome& outcome = importer.LastOutcome();
  // A completed import's last message is its closing one: told once the file is written.
  const std::string closing = outcome.completed ? messages.takePending() : std::string();
  messages.flush();

  if (outcome.completed) {
    session.host().CommitFeatureFile(file);
  } else {
    printError("dobrenz points: " + shownPath(textPath) + " cannot be opened for reading; " + shownPath(qelPath) +
               " is unchanged");
  }
  session.host().CloseFeatureFile(file);
  const int problems = session.reportProblems();

  if (outcome.completed) {
    if (session.failedWrites() > 0) {
      // No counts and no next name: none of the points is in the file.
      reportNothingWritten("points", qelPath);
      return kExitFailure;
    }
    messages.ShowMessage(closing, ui::kMbOk);
    messages.flush();
    const CTextPointImporter::Counts& c = importer.LastCounts();
    printOut("%s: %ld lines; %ld added, %ld renamed, %ld updated, %ld ignored, %ld refused\n",
             shownPath(textPath).c_str(), c.lines, c.added, c.renamed, c.updated, c.ignored, c.refused);
  }
  printOut("%s\n", gbkToUtf8(nameText(importer.m_szPointName)).c_str());
  return importedCleanly(importer, problems) ? kExitOk : kExitFailure;
}

}  // namespace

const Command& pointsCommand() {
  static const Command command{
      "points",
      "import points from a delimited text file",
      "Reads points from a delimited text file and adds them to a feature file. The\n"
      "names come from the numbering, not from the file. Every line takes part: a\n"
      "header line becomes a point too. A zero elevation is stored as 9999.\n"
      "The defaults suit the common comma-separated point file name,code,E,N,Z:\n"
      "  --layout row --sep , --east 3 --north 4 --elev 5 --code 2 --base 1 --dup ignore\n"
      "With --layout column the defaults are --cycle 3 --value-field 1 --east 1\n"
      "--north 2 --elev 3 --code -1 (E, N and Z on three lines, no code).\n"
      "Standard output ends with the next point name alone on its last line: pass it\n"
      "as --base to continue the numbering in a later run.",
      {
          fileOption("qel", "FILE.qel",
                     "feature file that receives the points (created when missing, committed at the end)")
              .required(),
          fileOption("file", "FILE.txt", "point text file to read").required(),
          choiceOption("layout", "row|column",
                       "row: one point per line; column: one value per line, --cycle lines a point")
              .byDefault("row"),
          textOption("sep", "TEXT", "separator text, read as a space; \"\" for space-separated files").byDefault(","),
          numberOption("east", "row: field of E (default: 3); column: line of the group holding E (default: 1)"),
          numberOption("north", "row: field of N (default: 4); column: line of the group (default: 2)"),
          numberOption("elev", "row: field of the elevation (default: 5); column: line of the group (default: 3)"),
          numberOption("code", "row: field of the point code, below 1 for none (default: 2); column: line "
                               "(default: -1, none)"),
          numberOption("cycle", "column: lines per point").byDefault("3"),
          numberOption("value-field", "column: field of each line holding its value").byDefault("1"),
          choiceOption("numbering", "auto|custom",
                       "auto: continue from --base; custom: --prefix and --start (default: auto, custom when "
                       "--prefix or --start is given)"),
          textOption("base", "NAME", "the current point name automatic numbering continues from").byDefault("1"),
          textOption("prefix", "TEXT", "custom numbering: name prefix (default: none)"),
          numberOption("start", "custom numbering: first number").byDefault("1"),
          choiceOption("dup", "rename|update|ignore",
                       "a name already in the file: rename the point to the next free name, update the "
                       "existing point, or ignore the point")
              .byDefault("ignore"),
          traceOption(),
      },
      "",
      "",
      runPoints,
  };
  return command;
}

}  // namespace dz::cli
