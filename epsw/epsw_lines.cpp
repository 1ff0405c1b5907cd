#include "epsw/epsw_lines.h"

#include "base/classic_scan.h"
#include "base/gbk.h"

namespace dz {
namespace {

// The lines of a note file with texts of any length, taken apart once.
const ScanFormat kNoteNumberLine("%s %s");
const ScanFormat kNoteCategoryLine("%s %f");
}  // namespace

bool isCorFeatureLine(std::string_view line) {
  const size_t dollar = line.find('$');
  return dollar != std::string_view::npos && dollar > 0;
}

int CorPointFields::parse(std::string_view line) {
  // "%s %lf %lf %lf %d %d", field by field (see ScanCursor)
  ScanCursor c(line);
  static_cast<void>(c.text(name) && c.real(east) && c.real(north) && c.real(elev) && c.integer(first) &&
                    c.integer(second));
  return c.result();
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
  // "%lf %lf %lf %lf %f"
  ScanCursor c(line);
  static_cast<void>(c.real(first) && c.real(second) && c.real(unused) && c.real(angle) && c.real(height));
  return c.result();
}

int NoteFields::parseLine3(std::string_view line) {
  std::string token = category;
  const int scanned = kNoteCategoryLine.scan(line, {ScanTarget::text(token), ScanTarget::real(widthFactor)});
  category = cutAtCharacter(token, kCategoryBytes);
  return scanned;
}

}  // namespace dz
