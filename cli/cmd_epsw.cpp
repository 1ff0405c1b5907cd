// dobrenz epsw [--cor FILE] [--not FILE] --out FILE.qel [--host-dir DIR]
//              [--trace FILE] [--far-points ask|convert|drop] [--overwrite|--append]
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>
#define DZ_ISATTY _isatty
#define DZ_FILENO _fileno
#else
#include <unistd.h>
#define DZ_ISATTY isatty
#define DZ_FILENO fileno
#endif

#include "base/gbk.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "epsw/epsw_converter.h"

namespace dz::cli {
namespace {

const std::vector<OptionSpec> kSpec = {
    {"cor", true, "the EPSW point-and-line file to convert", "FILE"},
    {"not", true, "the EPSW annotation file to convert", "FILE"},
    {"out", true, "the feature file that receives them", "FILE.qel"},
    {"host-dir", true, "directory of EPSWconvert.txt (default: $QEL_HOST_DIR, else the current directory)", "DIR"},
    {"trace", true, "write one line per host call to FILE", "FILE"},
    {"far-points", true,
     "points and texts beyond 100000000: ask (default; converted when there is no terminal), convert or drop",
     "ask|convert|drop"},
    {"overwrite", false, "replace an existing output file"},
    {"append", false, "convert into an existing output file"},
};

// UTF-8: the terminal's encoding, not the host's.
const char kDescription[] =
    u8"Converts the points and lines of an EPSW .cor file and the annotations of a .not file into a\n"
    u8"feature file, as the EPSW conversion dialog does. Giving a file selects it; give one or both.\n"
    u8"Feature codes are mapped through EPSWconvert.txt in the host directory.\n"
    u8"\n"
    u8"A point or text farther than 100000000 from the origin is asked about (\"是否转换该点\"). With\n"
    u8"--far-points ask the question is put on the terminal (answer y or n); when standard input is\n"
    u8"not a terminal such points are converted and their number is reported, so none is lost\n"
    u8"unnoticed. convert and drop answer every such question without asking.";

enum class FarPoints { Ask, Convert, Drop };

FarPoints parseFarPoints(const std::string& value) {
  if (value == "ask") return FarPoints::Ask;
  if (value == "convert") return FarPoints::Convert;
  if (value == "drop") return FarPoints::Drop;
  throw UsageError{"--far-points takes ask, convert or drop, not '" + value + "'"};
}

// Puts a Yes/No question on the terminal until it is answered; at the end of
// the input the point is converted.
int askOnTerminal(const std::string& gbkQuestion, bool& inputEnded) {
  for (;;) {
    std::fprintf(stderr, "%s [y/n] ", gbkToUtf8(gbkQuestion).c_str());
    std::fflush(stderr);
    char answer[256];
    if (!std::fgets(answer, sizeof answer, stdin)) {
      std::fputc('\n', stderr);
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

}  // namespace

int runEpsw(const Args& args) {
  Options options(args, kSpec);
  if (options.wantsHelp()) {
    std::fputs(formatUsage("dobrenz epsw [--cor FILE] [--not FILE] --out FILE.qel [--host-dir DIR] [--trace FILE]\n"
                           "                    [--far-points ask|convert|drop] [--overwrite|--append]",
                           kDescription, kSpec)
                   .c_str(),
               stdout);
    return kExitOk;
  }
  if (!options.positional().empty()) throw UsageError{"unexpected argument '" + options.positional()[0] + "'"};
  const FarPoints farPoints = parseFarPoints(options.valueOr("far-points", "ask"));
  const bool onTerminal = DZ_ISATTY(DZ_FILENO(stdin)) != 0;
  if (options.has("overwrite") && options.has("append")) throw UsageError{"--overwrite and --append exclude each other"};

  HostSession session(options.value("host-dir"), options.value("trace"));
  ConsoleMessages messages;
  int converted = 0;
  int dropped = 0;
  int unasked = 0;
  bool inputEnded = false;
  messages.setQuestionHandler([&](const std::string& question) {
    int answer = ui::kIdYes;
    if (farPoints == FarPoints::Drop) {
      answer = ui::kIdNo;
    } else if (farPoints == FarPoints::Ask) {
      if (onTerminal && !inputEnded) answer = askOnTerminal(question, inputEnded);
      else ++unasked;
    }
    ++(answer == ui::kIdNo ? dropped : converted);
    return answer;
  });

  CEpswConverter converter(session.host(), messages);
  // Giving a file is checking its box.
  converter.m_bConvertCor = options.has("cor") ? 1 : 0;
  converter.m_bConvertNot = options.has("not") ? 1 : 0;
  converter.m_strCorPath = options.value("cor");
  converter.m_strNotPath = options.value("not");
  converter.m_strOutputPath = options.value("out");

  bool ran = false;
  if (converter.CheckSettings() &&
      prepareOutputFile(session, converter.m_strOutputPath, options.has("overwrite"), options.has("append"))) {
    ran = true;
    converter.OnOK();
  }
  messages.flush();
  if (ran && converter.m_hFile <= 0 && !session.engine().lastOpenError().empty())
    printError("dobrenz epsw: " + session.engine().lastOpenError());
  if (unasked > 0)
    printError("dobrenz epsw: " + farCount(unasked) +
               " converted without asking, as there is no terminal; pass --far-points drop to leave such out");
  if (farPoints == FarPoints::Convert && converted > 0) printError("dobrenz epsw: converted " + farCount(converted));
  if (dropped > 0) printError("dobrenz epsw: dropped " + farCount(dropped));
  const int problems = session.reportProblems();

  const int questions = converted + dropped;
  const int failures = messages.countOtherThan("数据转换完毕！！！") - questions;
  if (ran && converter.m_hFile > 0)
    std::printf("%s, %s and %s written to %s\n", counted(converter.m_nPointsWritten, "point").c_str(),
                counted(converter.m_nFeaturesWritten, "feature").c_str(),
                counted(converter.m_nTextsWritten, "text").c_str(), converter.m_strOutputPath.c_str());
  return failures > 0 || problems > 0 || !ran ? kExitFailure : kExitOk;
}

}  // namespace dz::cli
