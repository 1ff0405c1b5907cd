#include "epsw/epsw_lines.h"

#include "base/classic_scan.h"
#include "base/gbk.h"

namespace dz {
namespace {

// The lines of a .cor file and of a note file, taken apart once.
const ScanFormat kPointLine("%s %lf %lf %lf %d %d");
const ScanFormat kNoteNumberLine("%s %s");
const ScanFormat kNotePlaceLine("%lf %lf %lf %lf %f");
const ScanFormat kNoteCategoryLine("%s %f");
}  // namespace

bool isCorFeatureLine(std::string_view line) {
  const size_t dollar = line.find('$');
  return dollar != std::string_view::npos && dollar > 0;
}

int CorPointFields::parse(std::string_view line) {
  return kPointLine.scan(line, {ScanTarget::text(name, sizeof name), ScanTarget::real(east), ScanTarget::real(north),
                                ScanTarget::real(elev), ScanTarget::integer(first), ScanTarget::integer(second)});
}

std::string cutAtCharacter(const std::string& text, size_t maxBytes) {
  return text.substr(0, gbkPrefixLength(text, maxBytes));
}

int NoteFields::parseLine1(std::string_view line) {
  // Whole tokens are scanned, then cut to their fields.
  std::string numberToken = number;
  std::string textToken = text;
  const int scanned = kNoteNumberLine.scan(line, {ScanTarget::text(numberToken), ScanTarget::text(textToken)});
  number = cutAtCharacter(numberToken, kNumberBytes);
  text = cutAtCharacter(textToken, kTextBytes);
  return scanned;
}

int NoteFields::parseLine2(std::string_view line) {
  return kNotePlaceLine.scan(line, {ScanTarget::real(first), ScanTarget::real(second), ScanTarget::real(unused),
                                    ScanTarget::real(angle), ScanTarget::real(height)});
}

int NoteFields::parseLine3(std::string_view line) {
  std::string token = category;
  const int scanned = kNoteCategoryLine.scan(line, {ScanTarget::text(token), ScanTarget::real(widthFactor)});
  category = cutAtCharacter(token, kCategoryBytes);
  return scanned;
}

}  // namespace dz
