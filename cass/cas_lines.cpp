#include "cass/cas_lines.h"

namespace dz {

namespace {

// Every keyword is a word of at most eight letters: most lines, numbers,
// are none of them and need not be compared with each.
bool mayBeKeyword(std::string_view line) {
  if (line.empty() || line.size() > 8) return false;
  const char c = line[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

CasLine classifyCasLine(std::string_view line, bool textMode, int kind, size_t* commaAt) {
  if (textMode && line != "nil") return CasLine::TextEntry;
  if (mayBeKeyword(line)) {
    if (line == "TEXT") return CasLine::TextStart;
    if (line == "tamberol") return CasLine::Stop;
    if (line == "LINE" || line == "PLINE") return CasLine::LineKeyword;
    if (line == "CIRCLE") return CasLine::CircleKeyword;
    if (line == "POINT") return CasLine::PointKeyword;
    if (line == "SPECIAL") return CasLine::LineKeyword;
    if (line == "nil") return CasLine::FeatureEnd;
    if (line == "C" || line == "E") return CasLine::FeatureClose;
    if (line == "END") return CasLine::End;
  }
  if (!line.empty() && line[0] == '[') return CasLine::Comment;
  if (!line.empty() && line[0] == ',') return CasLine::Ignored;
  if (kind == 0) return CasLine::Ignored;
  // One pass to the first comma, noting a point on the way: the text before
  // it is a few bytes. '.' and ',' are ASCII below 0x40 and never the second
  // byte of a GBK character, so a byte search is exact here.
  bool point = false;
  size_t comma = 0;
  for (; comma < line.size() && line[comma] != ','; ++comma) point |= line[comma] == '.';
  if (comma == line.size()) return CasLine::CodeOnly;
  if (commaAt) *commaAt = comma;
  return point ? CasLine::Coordinate : CasLine::Header;
}

std::string extractCasField(std::string_view line, int k) {
  size_t comma = line.find(',');
  if (comma == std::string_view::npos || k < 0) return std::string();
  if (k == 0) return std::string(comma == 0 ? line : line.substr(0, comma));
  for (int seen = 1; seen < k; ++seen) {
    comma = line.find(',', comma + 1);
    if (comma == std::string_view::npos) return std::string();
  }
  const size_t next = line.find(',', comma + 1);
  const size_t begin = comma + 1;
  return std::string(line.substr(begin, next == std::string_view::npos ? std::string_view::npos : next - begin));
}

}  // namespace dz
