// The parcels: a parcel label becomes one boundary point, a parcel takes its
// ring from the .qs file and its attribute block from the parcel attribute
// file, both read once and answered from their indexes.
#include <algorithm>
#include <string>
#include <vector>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "cass/cass_converter.h"

namespace dz {
namespace {
const ScanFormat kCoordinateLine("%lf");
}  // namespace

void CCassConverter::WriteParcel(std::string_view header, const VertexPair* vertices, int n, int hostCode) {
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
  AddHostPoint(m_hFile, point);
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
    ++m_outcome.qsMissing;
    if (m_bTellUnsetSideFiles || !m_strQsPath.empty()) m_messages.ShowMessage("can't find *.qs failed!!", ui::kMbOk);
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
  if (start >= total) m_outcome.parcelsWithoutRing.add(parcel);
  while (start < total) {
    const size_t blockEnd = m_qsIndex.findEndLine(start + 1);
    const size_t restart = m_qsIndex.findLine(parcel, start + 1);
    const size_t passEnd = std::min(restart, blockEnd);
    const size_t lastUseful = start + 3 * static_cast<size_t>(n) + 2;  // line i = 3n + 3 of the block
    int k = 0;
    for (size_t at = start + 1; at < passEnd && at <= lastUseful; ++at) {
      const size_t i = at - start + 1;  // line number within the block, the parcel line being 1
      if (i <= 3) continue;
      const std::string_view line = m_qsIndex.line(at);
      switch (i % 3) {
        case 1:
          k = static_cast<int>(i / 3) - 1;
          copyName(refs[k].name, line);
          copyName(point.name, line);
          break;
        case 2:
          kCoordinateLine.scan(line, {dz::ScanTarget::real(point.east)});
          break;
        default:
          kCoordinateLine.scan(line, {dz::ScanTarget::real(point.north)});
          refs[k].kind = 1;
          if (m_host.PointExists(handle, refs[k].name) < 0) {
            point.elev = 0;
            point.flag = 1;
            AddHostPoint(handle, point);
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
    ++m_outcome.parcelFileMissing;
    if (m_bTellUnsetSideFiles || !m_strParcelPath.empty())
      m_messages.ShowMessage("can't find　*.txt failed!!", ui::kMbOk);
    return;
  }
  const CassParcelAttributeFields* fields = m_parcelIndex.find(parcel);
  if (!fields) {
    // A parcel without an attribute line is not written.
    m_outcome.parcelsWithoutAttributes.add(parcel);
    return;
  }
  if (count > kMostFeatureVertices) {
    RefuseFeature();
    return;
  }
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
