#include "cli/input_run.h"

#include "base/gbk.h"
#include "cli/console.h"

namespace dz::cli {

namespace {

std::string counted(long n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

// --- Warnings -------------------------------------------------------------------

void Warnings::add(std::string text) { texts_.push_back(std::move(text)); }

void Warnings::lines(const std::string& file, const LineTally& tally, const std::string& whatOne,
                     const std::string& what, const std::string& consequence) {
  if (tally.empty()) return;
  add(file + ": " + counted(tally.count, whatOne, what) + " (" + linesText(tally) + "): " + consequence);
}

void Warnings::keys(const std::string& file, const KeyTally& tally, const std::string& whatOne, const std::string& what,
                    const std::string& consequence) {
  if (tally.empty()) return;
  std::string keys;
  for (const std::string& k : tally.keys) keys += (keys.empty() ? "" : ", ") + gbkToUtf8(k);
  if (tally.moreKeys) keys += ", ...";
  add(file + ": " + counted(tally.count, whatOne, what) + " (" + keys + "): " + consequence);
}

void Warnings::print(const std::string& command) const {
  for (const std::string& t : texts_) printError("dobrenz " + command + ": warning: " + t);
}

// --- InputRun -------------------------------------------------------------------

InputRun::InputRun(const Options& options, const std::vector<std::string>& measured)
    : quiet_(options.has("quiet")),
      strict_(options.has("strict")),
      run_(options.value("encoding") == "utf-8" ? TextEncoding::Utf8 : TextEncoding::Gbk),
      progress_(stderr, !quiet_ && TerminalProgress::isTerminal(stderr)) {
  for (const std::string& path : measured) total_ += path.empty() ? 0 : inputFileSize(path);
  if (total_ == 0) return;
  run_.onProgress(
      [this](uint64_t bytes) { progress_.update(static_cast<double>(bytes) / static_cast<double>(total_)); });
}

const InputFileReport* InputRun::report(const std::string& path) const {
  for (const InputFileReport& f : run_.files())
    if (f.path == path) return &f;
  return nullptr;
}

void InputRun::addWarnings(Warnings& warnings) const {
  if (run_.encoding() != TextEncoding::Gbk) return;
  for (const InputFileReport& f : run_.files()) {
    // The mark is a sign of UTF-8 of its own: one hint for the two.
    if (f.byteOrderMark)
      warnings.add(shownPath(f.path) + ": starts with a UTF-8 byte-order mark: give --encoding utf-8");
    else if (f.evidence.looksLikeUtf8())
      warnings.add(shownPath(f.path) + ": looks like UTF-8: give --encoding utf-8");
  }
}

long InputRun::reportRefusedLines(const std::string& command) const {
  long total = 0;
  for (const InputFileReport& f : run_.files()) {
    bool notUtf8 = false;
    for (const RefusedLine& r : f.firstRefused) {
      notUtf8 = notUtf8 || r.refusal.codePoint < 0;
      std::string what = r.refusal.codePoint < 0
                             ? describeRefusal(r.refusal) + " is not UTF-8"
                             : describeRefusal(r.refusal) + " '" + r.refusal.bytes + "' has no GBK form";
      printError("dobrenz " + command + ": " + shownPath(f.path) + " line " + std::to_string(r.line) + ": " + what +
                 "; the line was not read");
    }
    const long more = f.refused.count - static_cast<long>(f.firstRefused.size());
    if (more > 0)
      printError("dobrenz " + command + ": " + shownPath(f.path) + ": " + counted(more, "more line", "more lines") +
                 " not read for the same reason (" + linesText(f.refused) + ")");
    if (notUtf8)
      printError("dobrenz " + command + ": " + shownPath(f.path) +
                 " does not read as UTF-8: if it is GBK, leave out --encoding utf-8");
    total += f.refused.count;
  }
  return total;
}

bool failsStrictly(const std::string& command, const InputRun& run, const Warnings& warnings, bool failed,
                   const std::string& output) {
  if (!run.strict() || (warnings.empty() && !failed)) return false;
  std::string why = warnings.empty() ? "" : counted(static_cast<long>(warnings.count()), "warning", "warnings");
  if (failed) why += why.empty() ? "the failures above" : " and the failures above";
  printError("dobrenz " + command + ": --strict: " + why + ": " + shownPath(output) + " is left as it was");
  return true;
}

}  // namespace dz::cli
