// The exchange-file reader: one pass over the .cas lines with a small state
// machine (feature kind, TEXT section, collected vertices). Circles are
// expanded here, as their centre line is read, and every header's code is
// looked up in the code table.
#include "cass/cass_converter.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/classic_scan.h"
#include "base/file_io.h"
#include "base/text_input.h"
#include "cass/cas_lines.h"

namespace dz {
namespace {
const ScanFormat kVertexLine("%lf,%lf");
}  // namespace

namespace {

// Compared as views: a string's compare with a C string is a call into the
// library for every feature.
bool isParcelCode(std::string_view code) { return code == "301000" || code == "300000"; }

// Room for the usual feature; longer ones grow the store.
constexpr size_t kVertexSlots = 500;

}  // namespace

// The reader's state between lines.
namespace {

// Text of a line kept past it: the text before the comma of the latest line
// with one (copied at every vertex line, read only at a code line), the
// feature's code and its header (copied at every header). A short one is
// kept in place instead of in a string that the copy would call into.
class HeldText {
 public:
  void assign(std::string_view text) {
    if (text.size() <= sizeof bytes_) {
      std::memcpy(bytes_, text.data(), text.size());
      size_ = text.size();
      long_.clear();
    } else {
      long_.assign(text);
      size_ = kLong;
    }
  }
  std::string_view view() const { return size_ == kLong ? std::string_view(long_) : std::string_view(bytes_, size_); }

 private:
  static constexpr size_t kLong = SIZE_MAX;
  char bytes_[32] = {};
  size_t size_ = 0;
  std::string long_;
};

}  // namespace

struct CCassConverter::ReadState {
  int kind = 0;  // 0 none, 1 line, 2 circle, 3 point
  bool textMode = false;
  // Slots are reused, never cleared: a number that fails to scan leaves what
  // an earlier feature put there.
  std::vector<VertexPair> vertices = std::vector<VertexPair>(kVertexSlots);
  int n = 0;
  HeldText code;    // CASS code of the current feature
  HeldText header;  // its header line
  HeldText left;    // text before the first comma of the latest line with one
  int hostCode = 0;
  double radius = 0;
  int16_t textToggle = 0;
  long line = 0;         // number of the line being read
  long featureLine = 0;  // where the vertices collected begin: their header, else their first line
};

CCassConverter::CCassConverter(HostLibrary& host, ui::MessageService& messages)
    : m_host(host), m_messages(messages) {}

CCassConverter::~CCassConverter() = default;

std::string CCassConverter::ExtractField(std::string_view line, int k) { return dz::extractCasField(line, k); }

int CCassConverter::LookupCassCode(std::string_view code) {
  // A table that could not be opened is tried again at every lookup, so a
  // missing table is reported once per feature header.
  if (!m_codeTable.isLoaded()) {
    const uint8_t* info = m_host.GetHostInfo(0);
    const std::string dir = info ? std::string(reinterpret_cast<const char*>(info + kHostInfoDirOffset)) : "";
    if (!m_codeTable.load(dz::joinPath(dir, "CASSCode.txt"))) {
      ++m_outcome.codeTableMissing;
      m_messages.ShowMessage("can't find CASSCode.txt failed!!", ui::kMbOk);
      return 0;
    }
  }
  return m_codeTable.find(code);
}

bool CCassConverter::Run() {
  m_outcome = Outcome();
  dz::InputLineReader cas;
  if (!cas.open(m_strCasPath)) {
    m_messages.ShowMessage("can't find *.cas failed!!", ui::kMbOk);
    return false;
  }
  m_outcome.casOpened = true;
  m_hFile = m_host.OpenFeatureFile(m_strOutputPath.c_str());
  if (m_hFile <= 0) {
    m_messages.ShowMessage("can't open " + m_strOutputPath + " failed!!", ui::kMbOk);
    return false;
  }
  m_outcome.outputOpened = true;
  m_houseIndex.reset(m_hFile);

  ReadState s;
  std::string_view line;
  bool reading = true;
  while (reading && cas.readLine(line)) {
    s.line = cas.lineNumber();  // the file's own numbers, lines refused by the encoding counted
    size_t comma = 0;
    switch (dz::classifyCasLine(line, s.textMode, s.kind, &comma)) {
      case dz::CasLine::TextEntry:
        CollectTextEntry(line, s.textToggle);
        break;
      case dz::CasLine::TextStart:
        s.textMode = true;
        break;
      case dz::CasLine::Stop:
        reading = false;
        break;
      case dz::CasLine::Comment:
      case dz::CasLine::Ignored:
        break;
      case dz::CasLine::LineKeyword:
        s.kind = 1;
        break;
      case dz::CasLine::CircleKeyword:
        s.kind = 2;
        break;
      case dz::CasLine::PointKeyword:
        s.kind = 3;
        break;
      case dz::CasLine::FeatureEnd: {
        // A parcel keeps the keyword (and the TEXT section) in force, so the
        // next parcel header needs no keyword line.
        bool reset = true;
        if (s.n > 0) {
          reset = !isParcelCode(s.code.view());
          Flush(s);
        }
        if (reset) {
          s.kind = 0;
          s.textMode = false;
        }
        break;
      }
      case dz::CasLine::FeatureClose:
        if (s.n > 0) Flush(s);
        break;
      case dz::CasLine::End:
        if (!m_TextEntries.empty()) ApplyHouseAttributes(m_TextEntries.data(), m_nTextEntries);
        break;
      case dz::CasLine::CodeOnly:
        // The code of the features that follow; the vertices collected stay.
        s.hostCode = LookupCassCode(line);
        s.code.assign(s.left.view());
        break;
      case dz::CasLine::Coordinate:
        OnCoordinateLine(s, line);
        s.left.assign(line.substr(0, comma));
        break;
      case dz::CasLine::Header:
        OnHeaderLine(s, line, line.substr(0, comma));
        break;
    }
  }
  if (cas.failed()) {
    // A file that could not be read to its end is not converted in part:
    // the output stays as it was, and the message is that of a missing file.
    m_host.CloseFeatureFile(m_hFile);
    m_messages.ShowMessage("can't find *.cas failed!!", ui::kMbOk);
    return false;
  }
  // A feature still open at the end of the file is not written.
  m_host.CommitFeatureFile(m_hFile);
  m_host.CloseFeatureFile(m_hFile);
  m_outcome.committed = true;
  return true;
}

void CCassConverter::Flush(ReadState& s) {
  m_nFeatureLine = s.featureLine;
  if (isParcelCode(s.code.view()))
    WriteParcel(s.header.view(), s.vertices.data(), s.n, s.hostCode);
  else
    WriteFeature(s.vertices.data(), s.n, s.kind, s.hostCode);
  s.n = 0;
  s.featureLine = 0;
}

void CCassConverter::OnHeaderLine(ReadState& s, std::string_view line, std::string_view left) {
  s.left.assign(left);
  if (s.n > 0) {
    // A parcel label is closed by the next header, which is then lost: the
    // code, header and host code stay those of the label.
    const bool dropped = s.code.view() == "300000";
    Flush(s);
    if (dropped) return;
  }
  s.hostCode = LookupCassCode(left);
  s.header.assign(line);
  s.code.assign(left);
  s.featureLine = s.line;
  if (s.kind == 2) {
    // The radius is the third field; a header without one keeps the last radius.
    const std::string_view rest = line.substr(line.find(',') + 1);
    const size_t comma = rest.find(',', 1);
    if (comma != std::string_view::npos) s.radius = dz::classicAtof(rest.substr(comma + 1));
  }
}

void CCassConverter::OnCoordinateLine(ReadState& s, std::string_view line) {
  if (s.n == 0 && s.featureLine == 0) s.featureLine = s.line;
  const size_t needed = static_cast<size_t>(s.n) + 1;
  if (s.vertices.size() < needed) s.vertices.resize(needed);
  VertexPair& v = s.vertices[s.n];
  // Nearly every vertex line is two plain reals: read without the format.
  if (!dz::scanRealPair(line, ',', v.c2, v.c1) &&
      kVertexLine.scan(line, {dz::ScanTarget::real(v.c2), dz::ScanTarget::real(v.c1)}) < 2)
    m_outcome.unscannedCoordinates.add(s.line);
  if (s.kind == 2 && s.code.view() != "301000") {
    // A circle becomes the two ends of its diameter along the second
    // coordinate: (q, p - r) and (q, p + r) for the centre line "p,q".
    v.c2 -= s.radius;
    s.vertices[1].c1 = s.vertices[0].c1;
    s.vertices[1].c2 = s.vertices[0].c2 + 2 * s.radius;
    s.n = 2;
  } else {
    ++s.n;
  }
}

}  // namespace dz
