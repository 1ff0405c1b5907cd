// dobrenz points: the point import of the text data dialog without the dialog.
#include <cstdio>
#include <string>

#include "base/fixed_field.h"
#include "base/gbk.h"
#include "base/json.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/input_run.h"
#include "cli/work_estimate.h"
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

  if (options.has("name-field")) {
    if (!row) throw UsageError{"--name-field applies to --layout row"};
    importer.m_nNameField = options.number("name-field");
    if (importer.m_nNameField < 1) throw UsageError{"--name-field needs a field number from 1"};
  }
  importer.m_nSkipLines = options.number("skip");
  if (importer.m_nSkipLines < 0) throw UsageError{"--skip needs a number of lines, 0 or more"};
  if (options.has("preview") && options.number("preview") < 0)
    throw UsageError{"--preview needs a number of points, 0 or more"};
}

// A clean import read the whole file, gave every point a name and was written.
bool importedCleanly(const CTextPointImporter& importer, int writeProblems) {
  const CTextPointImporter::Outcome& o = importer.LastOutcome();
  return o.completed && !o.baseKept && importer.LastCounts().refused == 0 && writeProblems == 0;
}

// The tally without line 1, which a header warning has told of.
LineTally withoutFirstLine(LineTally tally) {
  if (tally.lines.empty() || tally.lines[0] != 1) return tally;
  --tally.count;
  tally.lines.erase(tally.lines.begin());
  return tally;
}

// What the lines of the file held that the import took as it stands.
void addImportWarnings(const Options& options, const CTextPointImporter& importer, Warnings& warnings) {
  const CTextPointImporter::Outcome& o = importer.LastOutcome();
  const std::string path = shownPath(options.value("file"));
  const bool header = o.headerLike && !options.has("skip");
  const auto told = [header](const LineTally& t) { return header ? withoutFirstLine(t) : t; };
  if (header) warnings.add(path + ": line 1 looks like a header; give --skip 1");
  warnings.lines(path, told(o.shortLines), "line has fewer fields than the options read",
                 "lines have fewer fields than the options read", "a missing value is taken as 0");
  warnings.lines(path, told(o.notNumbers), "line has an E, N or elevation that is not a number",
                 "lines have an E, N or elevation that is not a number",
                 "taken as 0, or as the number it begins with");
  warnings.lines(path, told(o.zeroElevations), "point has elevation 0", "points have elevation 0", "stored as 9999");
  warnings.lines(path, told(o.codesNotNumbers), "code is not a whole number", "codes are not whole numbers",
                 "stored as 0, or as the number it begins with");
  const CTextPointImporter::Counts& c = importer.LastCounts();
  if (c.ignored > 0 && c.added + c.renamed + c.updated + c.refused == 0) {
    const std::string hint = importer.m_nNameField >= 1 ? "give --dup update or --dup rename"
                                                       : "give --base NAME to continue numbering, or --dup rename";
    warnings.add("every point was ignored as a duplicate (" + std::to_string(c.ignored) + "): " + hint);
  }
}

// Names refused from the file are errors: they fail the import as names that
// do not fit do. Those too long are listed by the plug-in's own message.
void reportEmptyNames(const CTextPointImporter& importer, const std::string& path) {
  const LineTally& empty = importer.LastOutcome().emptyNames;
  if (empty.empty()) return;
  printError("dobrenz points: " + shownPath(path) + ": " + std::to_string(empty.count) +
             (empty.count == 1 ? " point has" : " points have") + " an empty name (" + linesText(empty) +
             "): not imported");
}

// `utf8` padded with spaces to `width` columns of a terminal, where a
// character beyond ASCII (Chinese, full-width) takes two.
std::string padded(const std::string& utf8, size_t width) {
  size_t columns = 0;
  for (unsigned char c : utf8)
    if (c < 0x80 || c >= 0xC0) columns += c < 0x80 ? 1 : 2;
  return utf8 + std::string(columns < width ? width - columns : 0, ' ');
}

// The points as the import would store them: the first `count` of them.
class PreviewTable {
 public:
  explicit PreviewTable(long count) : count_(count) {}

  void add(const CTextPointImporter::PointReport& p) {
    if (shown_ >= count_) return;
    if (shown_++ == 0)
      printOut("%-7s %-12s %-14s %-14s %-10s %-6s %s\n", "line", "name", "E", "N", "elevation", "code", "stored");
    static const char* const kFates[] = {"added", "renamed", "updated", "ignored: name taken",
                                         "refused: longer than 11 bytes"};
    const bool unnamed = p.fate == CTextPointImporter::PointReport::kRefused && p.name.empty();
    const char* fate = unnamed ? "refused: no name" : kFates[p.fate];
    printOut("%-7ld %s %-14s %-14s %-10s %-6d %s\n", p.line, padded(gbkToUtf8(p.name), 12).c_str(),
             jsonNumber(p.east).c_str(), jsonNumber(p.north).c_str(), jsonNumber(p.elev).c_str(), p.code, fate);
  }

 private:
  long count_;
  long shown_ = 0;
};

// The plug-in's messages are not told in a preview: nothing is imported.
class SilentMessages : public ui::MessageService {
 public:
  int ShowMessage(const std::string&, unsigned type) override { return type == ui::kMbYesNo ? ui::kIdYes : ui::kIdOk; }
};

int runPoints(const Options& options) {
  const std::string& qelPath = options.value("qel");
  const std::string& textPath = options.value("file");
  const std::string& trace = options.value("trace");
  const bool preview = options.has("preview");

  HostSession session("", trace);
  ConsoleMessages console;
  SilentMessages silent;
  CTextPointImporter importer(session.host(), preview ? static_cast<ui::MessageService&>(silent) : console);
  applySettings(options, importer);
  importer.m_strPath = textPath;
  PreviewTable table(preview ? options.number("preview") : 0);
  if (preview) importer.m_fnOnPoint = [&table](const CTextPointImporter::PointReport& p) { table.add(p); };
  if (sameFile(textPath, qelPath)) {
    printError("dobrenz points: --file " + textPath + " is " + qelPath +
               ", the feature file of --qel: give the point text file; nothing was changed");
    return kExitFailure;
  }
  if (!traceIsApart("points", trace, {{"--qel", qelPath}, {"--file", textPath}})) return kExitFailure;
  session.startTrace();

  InputRun input(options, {textPath});
  // A column file takes --cycle lines a point: about a third of a row file's points.
  const uint64_t lines = fileSize(textPath) / (importer.m_nLayout == CTextPointImporter::kRowLayout ? 1 : 3);
  expectWorkFrom(session.engine(), qelPath, lines, kPointFileDensity);
  const QelHandle file = session.host().OpenFeatureFile(qelPath.c_str());
  if (file <= 0) {
    printError("dobrenz points: " + shownPath(session.engine().lastOpenError()));
    return kExitFailure;
  }
  importer.m_hFile = file;
  importer.ImportPoints();
  input.finish();
  const CTextPointImporter::Outcome& outcome = importer.LastOutcome();
  // A completed import's last message is its closing one: told once the file is written.
  const std::string closing = outcome.completed && !preview ? console.takePending() : std::string();
  console.flush();

  Warnings warnings;
  if (outcome.completed) addImportWarnings(options, importer, warnings);
  input.addWarnings(warnings);
  const long refusedLines = input.reportRefusedLines("points");
  reportEmptyNames(importer, textPath);
  warnings.print("points");
  // A preview writes nothing, whatever it found.
  const bool failed = outcome.baseKept || importer.LastCounts().refused > 0 || refusedLines > 0;
  const bool heldBack = preview || (outcome.completed && failsStrictly("points", input, warnings, failed, qelPath));
  if (outcome.completed && !heldBack) {
    session.host().CommitFeatureFile(file);
  } else if (!outcome.completed) {
    printError("dobrenz points: " + shownPath(textPath) + " cannot be opened for reading; " + shownPath(qelPath) +
               " is unchanged");
  }
  session.host().CloseFeatureFile(file);
  const int problems = session.reportProblems();
  // Nothing of the import is in the file: no counts and no next name.
  if (heldBack && !preview) return kExitFailure;

  if (outcome.completed) {
    if (session.failedWrites() > 0) {
      reportNothingWritten("points", qelPath);
      return kExitFailure;
    }
    if (!closing.empty()) {
      console.ShowMessage(closing, ui::kMbOk);
      console.flush();
    }
    const CTextPointImporter::Counts& c = importer.LastCounts();
    const long told = static_cast<long>(warnings.count());
    if (preview && !input.quiet())
      printOut("%s: %ld lines would give %ld added, %ld renamed, %ld updated, %ld ignored, %ld refused; %ld %s; "
               "nothing written\n",
               shownPath(textPath).c_str(), c.lines, c.added, c.renamed, c.updated, c.ignored, c.refused, told,
               told == 1 ? "warning" : "warnings");
    else if (!preview && !input.quiet())
      printOut("%s: %ld lines; %ld added, %ld renamed, %ld updated, %ld ignored, %ld refused\n",
               shownPath(textPath).c_str(), c.lines, c.added, c.renamed, c.updated, c.ignored, c.refused);
  }
  // The next name is what the host would get back: not part of the summary.
  if (!preview) printOut("%s\n", gbkToUtf8(nameText(importer.m_szPointName)).c_str());
  // A preview fails as the import would.
  const bool strictFailure = input.strict() && !warnings.empty();
  return importedCleanly(importer, problems) && refusedLines == 0 && !strictFailure ? kExitOk : kExitFailure;
}

}  // namespace

const Command& pointsCommand() {
  static const Command command{
      "points",
      "import points from a delimited text file",
      "Reads points from a delimited text file and adds them to a feature file. The\n"
      "names come from the numbering, or with --name-field from the file. Every line\n"
      "takes part unless --skip leaves it out: a header line becomes a point too. A\n"
      "zero elevation is stored as 9999. --preview shows what an import would store\n"
      "and writes nothing. What the file held that was taken as it stands (fields that\n"
      "are not numbers, short lines, zero elevations, codes that are not numbers, a\n"
      "header, a byte-order mark) is told as warnings at the end; --strict fails on them.\n"
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
          numberOption("name-field",
                       "row: take each point's name from this field (at most 11 bytes; longer or empty names "
                       "are refused); a rename draws from the numbering (default: names from the numbering)"),
          numberOption("skip", "lines at the start of the file that take no part, such as a header").byDefault("0"),
          numberOption("preview", "print the first N points (10 when N is left out) as they would be stored and "
                                  "what the rest would give; write nothing")
              .optionalValue("10"),
          encodingOption(),
          strictOption(),
          quietOption(),
          traceOption(),
      },
      "",
      "",
      runPoints,
  };
  return command;
}

}  // namespace dz::cli
