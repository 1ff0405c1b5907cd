// dobrenz points --qel FILE.qel --file FILE.txt [options]
#include <cstdio>
#include <string>

#include "base/fixed_field.h"
#include "base/gbk.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "textpoints/text_point_importer.h"

namespace dz::cli {
namespace {

const char kImportDone[] = "点添加完毕！！";

struct LayoutDefaults {
  int east, north, elev, code;
};
// Row: the common name,code,E,N,Z file. Column: E, N and Z on three lines.
constexpr LayoutDefaults kRowDefaults = {3, 4, 5, 2};
constexpr LayoutDefaults kColumnDefaults = {1, 2, 3, -1};

const std::vector<OptionSpec>& pointsOptions() {
  static const std::vector<OptionSpec> spec = {
      {"qel", true, "feature file that receives the points (created when missing, committed at the end)",
       "FILE.qel"},
      {"file", true, "point text file to read", "FILE.txt"},
      {"layout", true, "row: one point per line (default); column: one value per line, --cycle lines a point",
       "row|column"},
      {"sep", true, "separator text, read as a space (default \",\"; give \"\" for space-separated files)", "TEXT"},
      {"east", true, "row: field of E (default 3); column: line of the group holding E (default 1)", "N"},
      {"north", true, "row: field of N (default 4); column: line of the group (default 2)", "N"},
      {"elev", true, "row: field of the elevation (default 5); column: line of the group (default 3)", "N"},
      {"code", true, "row: field of the point code, below 1 for none (default 2); column: line (default -1, none)",
       "N"},
      {"cycle", true, "column: lines per point (default 3)", "N"},
      {"value-field", true, "column: field of each line holding its value (default 1)", "N"},
      {"numbering", true, "auto: continue from --base (default); custom: --prefix and --start (implied by them)",
       "auto|custom"},
      {"base", true, "the current point name automatic numbering continues from (default 1)", "NAME"},
      {"prefix", true, "custom numbering: name prefix (default none)", "TEXT"},
      {"start", true, "custom numbering: first number (default 1)", "N"},
      {"dup", true, "a name already in the file: ignore the point (default), rename it to the next free name, "
                    "or update the existing point",
       "rename|update|ignore"},
      {"trace", true, "write a log of every host call to FILE", "FILE"},
  };
  return spec;
}

const char kDescription[] =
    "Reads points from a delimited text file and adds them to a feature file. The\n"
    "names come from the numbering, not from the file. Every line takes part: a\n"
    "header line becomes a point too. A zero elevation is stored as 9999.\n"
    "The defaults suit the common comma-separated point file name,code,E,N,Z:\n"
    "  --layout row --sep , --east 3 --north 4 --elev 5 --code 2 --base 1 --dup ignore\n"
    "With --layout column the defaults are --cycle 3 --value-field 1 --east 1\n"
    "--north 2 --elev 3 --code -1 (E, N and Z on three lines, no code).\n"
    "Standard output ends with the next point name alone on its last line: pass it\n"
    "as --base to continue the numbering in a later run.";

int choice(const Options& options, const std::string& name, const std::vector<std::string>& words, int fallback) {
  if (!options.has(name)) return fallback;
  for (size_t i = 0; i < words.size(); ++i)
    if (options.value(name) == words[i]) return static_cast<int>(i);
  std::string all;
  for (const std::string& w : words) all += (all.empty() ? "" : ", ") + w;
  throw UsageError{"--" + name + " must be one of " + all + ", not '" + options.value(name) + "'"};
}

const std::string& required(const Options& options, const std::string& name) {
  if (!options.has(name) || options.value(name).empty()) throw UsageError{"--" + name + " is required"};
  return options.value(name);
}

// Fills the importer's settings as the dialog's controls would.
void applySettings(const Options& options, CTextPointImporter& importer) {
  importer.m_nLayout = choice(options, "layout", {"column", "row"}, CTextPointImporter::kRowLayout);
  const bool row = importer.m_nLayout == CTextPointImporter::kRowLayout;
  if (row)
    for (const char* columnOnly : {"cycle", "value-field"})
      if (options.has(columnOnly)) throw UsageError{std::string("--") + columnOnly + " applies to --layout column"};
  const LayoutDefaults& d = row ? kRowDefaults : kColumnDefaults;
  importer.m_nEastPos = options.intValue("east", d.east);
  importer.m_nNorthPos = options.intValue("north", d.north);
  importer.m_nElevPos = options.intValue("elev", d.elev);
  importer.m_nCodePos = options.intValue("code", d.code);
  importer.m_nCycle = options.intValue("cycle", 3);
  // The import itself ends silently on a cycle of 0; here that is a mistake worth saying.
  if (!row && importer.m_nCycle == 0) throw UsageError{"--cycle 0 reads no point: give the lines per point"};
  importer.m_nValueField = options.intValue("value-field", 1);
  importer.m_strSeparator = argToGbk(options.valueOr("sep", ","), "--sep");

  const bool customWanted = options.has("prefix") || options.has("start");
  importer.m_nNumbering = choice(options, "numbering", {"auto", "custom"},
                                 customWanted ? CTextPointImporter::kCustomNumbering
                                              : CTextPointImporter::kAutoNumbering);
  if (importer.m_nNumbering == CTextPointImporter::kAutoNumbering && customWanted)
    throw UsageError{"--prefix and --start apply to --numbering custom"};
  importer.m_strPrefix = argToGbk(options.value("prefix"), "--prefix");
  importer.m_nStartNo = options.intValue("start", 1);
  const std::string base = argToGbk(options.valueOr("base", "1"), "--base");
  if (base.size() > kNameWidth) throw UsageError{"--base '" + options.value("base") + "' is longer than 12 bytes"};
  copyName(importer.m_szPointName, base);

  importer.m_nDupPolicy = choice(options, "dup", {"rename", "update", "ignore"}, CTextPointImporter::kDupIgnore);
}

}  // namespace

int runPoints(const Args& args) {
  const std::vector<OptionSpec>& spec = pointsOptions();
  Options options(args, spec);
  if (options.wantsHelp()) {
    std::fputs(formatUsage("dobrenz points --qel FILE.qel --file FILE.txt [OPTIONS]", kDescription, spec).c_str(),
               stdout);
    return kExitOk;
  }
  if (!options.positional().empty()) throw UsageError{"unexpected argument '" + options.positional()[0] + "'"};
  const std::string qelPath = required(options, "qel");
  const std::string textPath = required(options, "file");

  HostSession session("", options.value("trace"));
  ConsoleMessages messages;
  CTextPointImporter importer(session.host(), messages);
  applySettings(options, importer);
  importer.m_strPath = textPath;

  const QelHandle file = session.host().OpenFeatureFile(qelPath.c_str());
  if (file <= 0) {
    printError("dobrenz points: " + session.engine().lastOpenError());
    return kExitFailure;
  }
  importer.m_hFile = file;
  importer.ImportPoints();
  messages.flush();

  const bool completed = !messages.shown().empty() && messages.shown().back() == kImportDone;
  if (completed) {
    session.host().CommitFeatureFile(file);
  } else {
    printError("dobrenz points: " + textPath + " cannot be opened for reading; " + qelPath + " is unchanged");
  }
  session.host().CloseFeatureFile(file);
  const int problems = session.reportProblems();

  if (completed) {
    const CTextPointImporter::Counts& c = importer.LastCounts();
    std::printf("%s: %ld lines; %ld added, %ld renamed, %ld updated, %ld ignored, %ld refused\n", textPath.c_str(),
                c.lines, c.added, c.renamed, c.updated, c.ignored, c.refused);
  }
  std::printf("%s\n", gbkToUtf8(nameText(importer.m_szPointName)).c_str());
  std::fflush(stdout);
  return problems > 0 || messages.countOtherThan(kImportDone) > 0 ? kExitFailure : kExitOk;
}

}  // namespace dz::cli
