#include "cass/parcel_import.h"

#include <algorithm>
#include <cstring>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "base/line_reader.h"
#include "cass/cass_converter.h"

namespace dz {

bool QsParcelIndex::load(const std::string& path) {
  LineReader reader;
  if (!reader.open(path)) return false;
  lines_.clear();
  positions_.clear();
  endLines_.clear();
  std::string line;
  while (reader.readLine(line)) lines_.push_back(line);
  // Views are taken only now that the lines no longer move.
  for (size_t i = 0; i < lines_.size(); ++i) {
    positions_[lines_[i]].push_back(i);
    if (!lines_[i].empty() && lines_[i][0] == 'E') endLines_.push_back(i);
  }
  loaded_ = true;
  return true;
}

size_t QsParcelIndex::findLine(std::string_view text, size_t from) const {
  auto it = positions_.find(text);
  if (it == positions_.end()) return lines_.size();
  auto at = std::lower_bound(it->second.begin(), it->second.end(), from);
  return at == it->second.end() ? lines_.size() : *at;
}

size_t QsParcelIndex::findEndLine(size_t from) const {
  auto at = std::lower_bound(endLines_.begin(), endLines_.end(), from);
  return at == endLines_.end() ? lines_.size() : *at;
}

bool ParcelAttributeIndex::load(const std::string& path) {
  LineReader reader;
  if (!reader.open(path)) return false;
  first_.clear();
  // One set of fields for the whole file, cleared only here: a short line
  // leaves the fields it lacks as the last line that had them set them.
  ParcelAttributeFields fields;
  std::string field1, field3, field10, field11;
  std::string line;
  while (reader.readLine(line)) {
    // Twelve conversions, eleven destinations: a twelfth field is ignored.
    scanFormat(line, "%s %s %s %s %lf %lf %lf %s %s %s %s %s",
               {ScanTarget::text(field1), ScanTarget::text(fields.parcel), ScanTarget::text(field3),
                ScanTarget::text(fields.field4), ScanTarget::real(fields.field5), ScanTarget::real(fields.field6),
                ScanTarget::real(fields.field7), ScanTarget::text(fields.field8), ScanTarget::text(fields.ownership),
                ScanTarget::text(field10), ScanTarget::text(field11)});
    first_.emplace(fields.parcel, fields);  // the first line of each parcel wins
  }
  loaded_ = true;
  return true;
}

const ParcelAttributeFields* ParcelAttributeIndex::find(const std::string& parcel) const {
  auto it = first_.find(parcel);
  return it == first_.end() ? nullptr : &it->second;
}

uint8_t ownershipCode(std::string_view text) {
  if (text == "国有土地所有权") return 1;
  if (text == "私有土地所有权") return 2;
  if (text == "集体土地所有权") return 0;
  return 3;
}

void fillParcelAttributes(uint8_t* block, const ParcelAttributeFields& f) {
  std::memset(block, 0, kParcelAttributesSize);
  putLE<double>(block, 0, f.field5);
  putLE<double>(block, 8, f.field7);
  putLE<double>(block, 16, f.field6);
  copyField(reinterpret_cast<char*>(block + 40), 40, f.parcel);
  copyField(reinterpret_cast<char*>(block + 80), 20, f.field4);
  copyField(reinterpret_cast<char*>(block + 100), 80, f.field8);
  block[224] = ownershipCode(f.ownership);
}


using dz::copyName;

void CCassConverter::WriteParcel(const std::string& header, const VertexPair* vertices, int n, int hostCode) {
  const std::string name = ExtractField(header, 1);
  if (hostCode != 7310) {
    // Only the number of collected vertices matters: the ring comes from the .qs file.
    ReadParcelRing(m_hFile, n, name);
    return;
  }
  // A parcel label: one point named by the parcel number, at the first vertex.
  PointRecord point{};
  copyName(point.name, name);
  point.north = vertices[0].c1;
  point.east = vertices[0].c2;
  m_host.AddPoint(m_hFile, &point, 1);
  ++m_nPointsAdded;
  PointRef ref{};
  copyName(ref.name, name);
  ref.kind = 0;
  FeatureHeader label{};
  label.kind = kBoundaryPoint;
  label.code = 7310;
  uint8_t block[kBoundaryPointAttributesSize] = {};
  dz::copyField(reinterpret_cast<char*>(block), 10, name);
  m_host.AddFeature(m_hFile, &label, &ref, 1, block, sizeof block);
  ++m_nFeaturesAdded;
  ++m_nLabelsAdded;
}

void CCassConverter::ReadParcelRing(QelHandle handle, int n, const std::string& parcel) {
  if (parcel.empty()) return;
  // A file that cannot be opened is tried again, and reported, at every parcel.
  if (!m_qsIndex.isLoaded() && !m_qsIndex.load(m_strQsPath)) {
    m_messages.ShowMessage("can't find *.qs failed!!", ui::kMbOk);
    return;
  }
  if (n < 0) n = 0;
  std::vector<PointRef> refs(static_cast<size_t>(n) + 1);
  PointRecord point{};  // reused: a number that fails to scan keeps the previous point's

  // Walk the file as a scan from the top would: the block starts at the
  // first line equal to the parcel number, a later equal line starts it
  // again (overwriting the ring from its first point), and a line beginning
  // with "E" ends it. Points beyond the parcel's own n vertices are ignored,
  // so a block is never read further than its first n points.
  size_t start = m_qsIndex.findLine(parcel, 0);
  const size_t total = m_qsIndex.lineCount();
  while (start < total) {
    const size_t blockEnd = m_qsIndex.findEndLine(start + 1);
    const size_t restart = m_qsIndex.findLine(parcel, start + 1);
    const size_t passEnd = std::min(restart, blockEnd);
    const size_t lastUseful = start + 3 * static_cast<size_t>(n) + 2;  // line i = 3n + 3 of the block
    int k = 0;
    for (size_t at = start + 1; at < passEnd && at <= lastUseful; ++at) {
      const size_t i = at - start + 1;  // line number within the block, the parcel line being 1
      if (i <= 3) continue;
      const std::string& line = m_qsIndex.line(at);
      switch (i % 3) {
        case 1:
          k = static_cast<int>(i / 3) - 1;
          copyName(refs[k].name, line);
          copyName(point.name, line);
          break;
        case 2:
          dz::scanFormat(line, "%lf", {dz::ScanTarget::real(point.east)});
          break;
        default:
          dz::scanFormat(line, "%lf", {dz::ScanTarget::real(point.north)});
          refs[k].kind = 1;
          if (m_host.PointExists(handle, refs[k].name) < 0) {
            point.elev = 0;
            point.flag = 1;
            m_host.AddPoint(handle, &point, 1);
            ++m_nPointsAdded;
          }
          break;
      }
    }
    if (restart >= blockEnd) break;
    start = restart;
  }
  refs[n] = refs[0];
  WriteParcelFeature(handle, refs.data(), n + 1, parcel);
}

void CCassConverter::WriteParcelFeature(QelHandle handle, const PointRef* refs, int count,
                                        const std::string& parcel) {
  if (!m_parcelIndex.isLoaded() && !m_parcelIndex.load(m_strParcelPath)) {
    m_messages.ShowMessage("can't find　*.txt failed!!", ui::kMbOk);
    return;
  }
  const dz::ParcelAttributeFields* fields = m_parcelIndex.find(parcel);
  if (!fields) return;  // a parcel without an attribute line is not written
  // Always the parcel code, whatever the code table maps the CASS code to.
  FeatureHeader header{};
  header.kind = kParcel;
  header.code = 7311;
  uint8_t block[kParcelAttributesSize];
  dz::fillParcelAttributes(block, *fields);
  m_host.AddFeature(handle, &header, refs, count, block, sizeof block);
  ++m_nFeaturesAdded;
  ++m_nParcelsAdded;
}

}  // namespace dz
