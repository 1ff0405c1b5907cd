#include "textpoints/text_point_importer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "base/gbk.h"
#include "base/text_input.h"

namespace dz {

namespace {

const char kCannotOpen[] = "不能打开所选的文件!!";
const char kImportDone[] = "点添加完毕！！";

// How many refused points the closing message lists one by one.
constexpr size_t kRefusalsListed = 10;

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Value of the run of ASCII digits at the start of `text`. Eleven digits at
// most fit a name, so 64 bits never overflow.
int64_t leadingDigitsValue(std::string_view text) {
  int64_t n = 0;
  for (char c : text) {
    if (!isAsciiDigit(c)) break;
    n = n * 10 + (c - '0');
  }
  return n;
}

// Remainder truncated towards zero, as C gives it, without the overflow of
// INT_MIN % -1.
int64_t remainderOf(int64_t value, int cycle) { return value % static_cast<int64_t>(cycle); }

bool isBlank(std::string_view text) {
  for (char c : text)
    if (!dz::isClassicSpace(c)) return false;
  return true;
}

}  // namespace

CTextPointImporter::CTextPointImporter(HostLibrary& host, ui::MessageService& messages)
    : host_(host), messages_(messages) {}

CTextPointImporter::~CTextPointImporter() = default;

// --- Splitting ----------------------------------------------------------------

int CTextPointImporter::FindSeparator(const char* line, int length, char separator, int k) const {
  if (k == 0) return -1;
  int passed = 0;
  for (int pos = 0; pos < length; ++pos) {
    const char c = line[pos];
    if ((c == separator || c == '\0') && passed == k - 1) return pos;
    if (c == separator) ++passed;
  }
  return -2;
}

std::string CTextPointImporter::GetField(const char* line, int length, char separator, int k) const {
  // k - 1 for k = INT_MIN would wrap; such a field cannot exist anyway.
  if (k < 1) return " ";
  // FindSeparator(k - 1) and FindSeparator(k) in one pass: the end of field
  // k - 1 is met on the way to the end of field k.
  int start = k == 1 ? -1 : -2, end = -2, passed = 0;
  for (int pos = 0; pos < length; ++pos) {
    const char c = line[pos];
    if (c == separator || c == '\0') {
      if (passed == k - 1) {
        end = pos;
        break;
      }
      if (start == -2 && passed == k - 2) start = pos;
    }
    if (c == separator) ++passed;
  }
  if (start == -2 || end == -2 || end - start <= 0) return " ";
  return std::string(line + start + 1, static_cast<size_t>(end - start - 1));
}

std::string CTextPointImporter::GetField(const std::string& line, int k) const {
  // A line beyond the int range is split over its first INT_MAX - 1 bytes.
  const size_t usable = line.size() < static_cast<size_t>(INT_MAX - 1) ? line.size() : INT_MAX - 1;
  return GetField(line.c_str(), static_cast<int>(usable) + 1, ' ', k);
}

std::string CTextPointImporter::ReplaceSeparator(std::string_view line) const {
  std::string out;
  ReplaceSeparator(line, out);
  return out;
}

void CTextPointImporter::ReplaceSeparator(std::string_view line, std::string& out) const {
  out.clear();
  const std::string_view sep(m_strSeparator.c_str());  // up to its first zero byte, as a C string
  if (sep.empty()) {
    out.assign(line);
    return;
  }
  out.reserve(line.size());
  // A separator starting below 0x40 can start neither half of a double-byte
  // character, so every match is a whole one.
  if (static_cast<unsigned char>(sep[0]) < 0x40) {
    size_t from = 0;
    for (size_t at; (at = line.find(sep, from)) != std::string_view::npos; from = at + sep.size()) {
      out.append(line.data() + from, at - from);
      out.push_back(' ');
    }
    out.append(line.data() + from, line.size() - from);
    return;
  }
  // Otherwise matches start only at character boundaries, so the trail byte
  // of a double-byte character never counts as a separator.
  size_t i = 0;
  while (i < line.size()) {
    if (line.compare(i, sep.size(), sep) == 0) {
      out.push_back(' ');
      i += sep.size();
      continue;
    }
    const size_t n = dz::gbkCharLength(line, i);
    out.append(line.data() + i, n);
    i += n;
  }
}

double CTextPointImporter::FieldToNumber(std::string_view field) { return dz::classicAtof(field); }

double CTextPointImporter::FieldToNumber(std::string_view field, bool& number) {
  return dz::classicAtof(field, number);
}

int CTextPointImporter::FieldToInteger(std::string_view field) { return dz::classicAtoi(field); }

// --- Naming -------------------------------------------------------------------

std::string CTextPointImporter::ComposePointName(const char* base12, int seq) const {
  if (m_nNumbering == kCustomNumbering) {
    const std::string_view prefix(m_strPrefix.c_str());
    const std::string number = std::to_string(static_cast<int64_t>(m_nStartNo) + seq);
    // A prefix longer than the whole field is dropped rather than cut.
    if (prefix.empty() || prefix.size() > dz::kNameWidth) return number;
    return std::string(prefix) + number;
  }
  const std::string base = dz::nameText(base12);
  if (!base.empty() && isAsciiDigit(base[0]))
    return std::to_string(leadingDigitsValue(base) + seq - 1);
  // The prefix runs up to the first digit after the first byte; bytes of
  // double-byte characters are never digits, so a prefix never ends inside
  // one.
  size_t i = 1;
  while (i < base.size() && !isAsciiDigit(base[i])) ++i;
  const int64_t n = i < base.size() ? leadingDigitsValue(std::string_view(base).substr(i)) : 0;
  return base.substr(0, i) + std::to_string(n + seq - 1);
}

bool CTextPointImporter::MakePointName(const char* base12, int seq, char* out12) const {
  const std::string name = ComposePointName(base12, seq);
  if (name.size() > kMaxNameBytes) return false;
  dz::copyName(out12, name);
  return true;
}

// --- Storing ------------------------------------------------------------------

int CTextPointImporter::StorePoint(QelHandle file, double east, double north, double elev, char* name12) {
  PointRecord fresh{};
  dz::copyFieldFrom(fresh.name, dz::kNameWidth, name12);
  PointRecord existing{};
  const int found = host_.GetPoint(file, name12, &existing);

  const double storedElev = elev == 0.0 ? 9999.0 : elev;
  for (PointRecord* r : {&fresh, &existing}) {
    r->north = north;
    r->east = east;
    r->elev = storedElev;
    r->flag = 0;
  }
  if (m_nCode < 1) {
    existing.code = 0;
  } else {
    fresh.code = m_nCode;
    existing.code = m_nCode;
  }

  if (found <= 0) {
    ++counts_.added;
    TellStored(PointReport::kAdded, fresh.name, east, north, storedElev, fresh.code);
    return host_.AddPoint(file, &fresh, 1);
  }
  switch (m_nDupPolicy) {
    case kDupRename: {
      // The point keeps its own values under the new name: nothing of the
      // points met on the way to a free name is carried over.
      PointRecord taken{};
      do {
        ++m_nPointSeq;
        if (!MakePointName(m_szPointName, m_nPointSeq, name12)) {
          RefuseName(ComposePointName(m_szPointName, m_nPointSeq), east, north, elev);
          return 0;
        }
      } while (host_.GetPoint(file, name12, &taken) > 0);
      dz::copyFieldFrom(fresh.name, dz::kNameWidth, name12);
      ++counts_.renamed;
      TellStored(PointReport::kRenamed, fresh.name, east, north, storedElev, fresh.code);
      return host_.AddPoint(file, &fresh, 1);
    }
    case kDupUpdate:
      ++counts_.updated;
      TellStored(PointReport::kUpdated, name12, east, north, storedElev, existing.code);
      return host_.UpdatePoint(file, name12, &existing);
    default:
      ++counts_.ignored;
      TellStored(PointReport::kIgnored, name12, east, north, storedElev, m_nCode < 1 ? 0 : m_nCode);
      return 0;
  }
}

void CTextPointImporter::StoreAssembledPoint(double east, double north, double elev) {
  ++m_nPointSeq;
  char name[12] = {};
  if (!MakePointName(m_szPointName, m_nPointSeq, name)) {
    RefuseName(ComposePointName(m_szPointName, m_nPointSeq), east, north, elev);
    return;
  }
  StorePoint(m_hFile, east, north, elev, name);
}

// A name taken from the line is the point's own: it is never cut, and an
// empty one is no name. A name already taken goes by the duplicate policy,
// whose rename draws from the numbering.
void CTextPointImporter::StoreNamedPoint(double east, double north, double elev) {
  const std::string name(fields_.count() >= m_nNameField ? fields_.field(m_nNameField) : std::string_view());
  if (isBlank(name)) {
    ++counts_.refused;
    outcome_.emptyNames.add(fileLine_);
    Tell(PointReport::kRefused, "", east, north, elev == 0.0 ? 9999.0 : elev, m_nCode < 1 ? 0 : m_nCode);
    return;
  }
  if (name.size() > kMaxNameBytes) {
    RefuseName(name, east, north, elev);
    return;
  }
  char name12[12] = {};
  dz::copyName(name12, name);
  StorePoint(m_hFile, east, north, elev, name12);
}

void CTextPointImporter::RefuseName(const std::string& name, double east, double north, double elev) {
  ++counts_.refused;
  if (refused_.size() < kRefusalsListed) refused_.push_back({fileLine_, name});
  Tell(PointReport::kRefused, name, east, north, elev == 0.0 ? 9999.0 : elev, m_nCode < 1 ? 0 : m_nCode);
}

void CTextPointImporter::TellStored(PointReport::Fate fate, const char* name12, double east, double north,
                                    double elev, int code) {
  // The name is made only for a listener: a million points would make a
  // million names for nobody.
  if (m_fnOnPoint) Tell(fate, dz::nameText(name12), east, north, elev, code);
}

void CTextPointImporter::Tell(PointReport::Fate fate, std::string_view name, double east, double north, double elev,
                              int code) {
  if (!m_fnOnPoint) return;
  PointReport report;
  report.line = fileLine_;
  report.name = std::string(name);
  report.east = east;
  report.north = north;
  report.elev = elev;
  report.code = code;
  report.fate = fate;
  m_fnOnPoint(report);
}

// One message for the whole import, however many names did not fit: a file
// whose names outgrow the field would otherwise raise a box for every line.
void CTextPointImporter::ReportRefusals(const std::string& unusedNextName) {
  std::string text;
  // Empty names (m_nNameField) are refused too, but they are not too long.
  const long tooLong = counts_.refused - outcome_.emptyNames.count;
  if (tooLong > 0) {
    text = "点名超过11个字节，下列" + std::to_string(tooLong) + "个点未添加：";
    for (const RefusedName& r : refused_) text += "\n第" + std::to_string(r.line) + "行：" + r.name;
    if (tooLong > static_cast<long>(refused_.size()))
      text += "\n……另有" + std::to_string(tooLong - static_cast<long>(refused_.size())) + "个";
  }
  if (!unusedNextName.empty()) {
    if (!text.empty()) text += "\n";
    text += "下一个点名“" + unusedNextName + "”超过11个字节，点名仍为“" + dz::nameText(m_szPointName) + "”。";
  }
  if (!text.empty()) messages_.ShowMessage(text, ui::kMbOk);
}

// --- The import -----------------------------------------------------------------

void CTextPointImporter::ImportPoints() {
  if (m_nStartNo > 0) --m_nStartNo;
  counts_ = Counts();
  outcome_ = Outcome();
  refused_.clear();
  currentLine_ = 0;
  fileLine_ = 0;
  zeroElevationRead_ = false;

  dz::InputLineReader reader;
  if (!reader.open(m_strPath)) {
    messages_.ShowMessage(kCannotOpen, ui::kMbOk);
    return;
  }
  outcome_.opened = true;

  double east = 0, north = 0, elev = 0;
  std::string_view raw;
  std::string line;
  for (int skipped = 0; skipped < m_nSkipLines && reader.skipLine(); ++skipped) {
  }
  // A separator of one byte below 0x40 (the comma of most files) splits the
  // line as it stands, as its replacement by spaces would (whole matches
  // only, see ReplaceSeparator); any other is replaced first.
  const std::string_view separator(m_strSeparator.c_str());
  const bool splitAsItStands = separator.size() == 1 && static_cast<unsigned char>(separator[0]) < 0x40;
  while (reader.readLine(raw)) {
    // The file's own line numbers, skipped and refused lines counted.
    fileLine_ = reader.lineNumber();
    if (splitAsItStands) {
      fields_.split(raw, separator[0]);
    } else {
      ReplaceSeparator(raw, line);
      fields_.split(line);
    }
    ++currentLine_;
    counts_.lines = currentLine_;

    if (m_nLayout == kRowLayout) {
      const std::string_view eastField = fields_.field(m_nEastPos);
      const std::string_view northField = fields_.field(m_nNorthPos);
      const std::string_view elevField = fields_.field(m_nElevPos);
      bool numbers[3];
      east = FieldToNumber(eastField, numbers[0]);
      north = FieldToNumber(northField, numbers[1]);
      elev = FieldToNumber(elevField, numbers[2]);
      const std::string_view codeField = m_nCodePos < 1 ? std::string_view() : fields_.field(m_nCodePos);
      m_nCode = m_nCodePos < 1 ? -1 : FieldToInteger(codeField);
      CheckRowLine(numbers, codeField, elev);
      if (m_nNameField >= 1)
        StoreNamedPoint(east, north, elev);
      else
        StoreAssembledPoint(east, north, elev);
      continue;
    }

    // A cycle of 0 has no groups: the import ends here without a word.
    if (m_nCycle == 0) return;
    const int64_t k = remainderOf(currentLine_, m_nCycle);
    const std::string_view value = fields_.field(m_nValueField);
    const bool present = m_nValueField >= 1 && fields_.count() >= m_nValueField;
    if (k == remainderOf(m_nEastPos, m_nCycle)) {
      east = FieldToNumber(value);
      CheckColumnCoordinate(present, value);
    } else if (k == remainderOf(m_nNorthPos, m_nCycle)) {
      north = FieldToNumber(value);
      CheckColumnCoordinate(present, value);
    } else if (k == remainderOf(m_nElevPos, m_nCycle)) {
      elev = FieldToNumber(value);
      CheckColumnCoordinate(present, value);
      zeroElevationRead_ = present && elev == 0.0 && dz::isClassicReal(value);
    } else if (k == remainderOf(m_nCodePos, m_nCycle)) {
      m_nCode = FieldToInteger(value);
      if (!present)
        outcome_.shortLines.add(fileLine_);
      else if (!isBlank(value) && !dz::isClassicInteger(value))
        outcome_.codesNotNumbers.add(fileLine_);
    }
    if (k == 0) {
      if (zeroElevationRead_) outcome_.zeroElevations.add(fileLine_);
      StoreAssembledPoint(east, north, elev);
    }
  }
  if (reader.failed()) {
    // Not the end of the file: the import is not complete, as if the file
    // could not be opened.
    messages_.ShowMessage(kCannotOpen, ui::kMbOk);
    return;
  }
  reader.close();

  // The base stays as it was when the name after it would not fit: the host
  // must never get back a name it cannot hold.
  char next[12];
  std::string unusedNextName;
  if (MakePointName(m_szPointName, m_nPointSeq + 1, next))
    std::memcpy(m_szPointName, next, sizeof next);
  else
    unusedNextName = ComposePointName(m_szPointName, m_nPointSeq + 1);
  outcome_.baseKept = !unusedNextName.empty();
  ReportRefusals(unusedNextName);
  outcome_.completed = true;
  messages_.ShowMessage(kImportDone, ui::kMbOk);
}

// --- What the lines held --------------------------------------------------------

void CTextPointImporter::CheckRowLine(const bool (&numbers)[3], std::string_view codeField, double elev) {
  const long fields = fields_.count();
  long needed = 0;
  for (int pos : {m_nEastPos, m_nNorthPos, m_nElevPos, m_nCodePos, m_nNameField})
    if (pos > needed) needed = pos;
  // Only fields that stand in the line count: a field number below 1 reads
  // nothing by the settings' choice, and one beyond the line is a short line.
  const int positions[] = {m_nEastPos, m_nNorthPos, m_nElevPos};
  bool anyNumber = false;
  bool anyCoordinate = false;
  bool allNumbers = true;
  for (size_t i = 0; i < 3; ++i) {
    if (positions[i] < 1 || positions[i] > fields) continue;
    anyCoordinate = true;
    anyNumber = anyNumber || numbers[i];
    allNumbers = allNumbers && numbers[i];
  }
  // A title without the fields, or a file with another separator, is no
  // header: its first line reaches no coordinate field and is a short line.
  if (fileLine_ == 1 && anyCoordinate && !anyNumber && !fields_.blank()) outcome_.headerLike = true;
  if (fields < needed) {
    outcome_.shortLines.add(fileLine_);
    return;
  }
  if (!allNumbers) outcome_.notNumbers.add(fileLine_);
  if (m_nElevPos >= 1 && elev == 0.0 && numbers[2])
    outcome_.zeroElevations.add(fileLine_);
  if (m_nCodePos >= 1 && !isBlank(codeField) && !dz::isClassicInteger(codeField))
    outcome_.codesNotNumbers.add(fileLine_);
}

void CTextPointImporter::CheckColumnCoordinate(bool present, std::string_view value) {
  if (!present) {
    outcome_.shortLines.add(fileLine_);
  } else if (!dz::isClassicReal(value)) {
    outcome_.notNumbers.add(fileLine_);
    if (fileLine_ == 1 && !isBlank(value)) outcome_.headerLike = true;
  }
}

}  // namespace dz
