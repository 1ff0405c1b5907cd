// Points and line features: every vertex of a finished feature becomes a
// generated point, and one feature is laid over them.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/fixed_field.h"
#include "cass/cass_converter.h"
#include "cass/house_import.h"

namespace dz {

namespace {

// Closed features repeat their first vertex at the end.
bool isClosedCode(int hostCode) { return dz::isHouseCode(hostCode) || hostCode == 7317; }

// These features start at their second vertex; the first goes to the end.
bool isRotatedCode(int hostCode) { return hostCode == 2330 || hostCode == 2317; }

}  // namespace

void CCassConverter::WriteFeature(const VertexPair* vertices, int n, int kind, int hostCode) {
  // Code 111 marks what the host file does not take: no points, no feature,
  // and no point numbers used up.
  if (hostCode == 111 || n <= 0) return;
  const bool closed = isClosedCode(hostCode);
  // One buffer for every feature of the run; each vertex's ref is written whole.
  std::vector<PointRef>& refs = m_featureRefs;
  refs.resize(static_cast<size_t>(n) + (closed ? 1 : 0));
  BuildPointRefs(vertices, n, kind, hostCode, refs.data());
  if (closed) refs[n] = refs[0];
  // Its points stay: they are the data; the feature over them cannot be held.
  if (refs.size() > static_cast<size_t>(kMostFeatureVertices)) {
    RefuseFeature();
    return;
  }
  AddFeatureRecord(hostCode, refs.data(), static_cast<int>(refs.size()));
}

void CCassConverter::AddHostPoint(QelHandle file, const PointRecord& point) {
  m_host.AddPoint(file, &point, 1);
  ++m_nPointsAdded;
  m_houseIndex.pointAdded(dz::arrayText(point.name));
}

void CCassConverter::RefuseFeature() { m_outcome.tooLong.add(m_nFeatureLine); }

void CCassConverter::BuildPointRefs(const VertexPair* vertices, int n, int kind, int hostCode, PointRef* refs) {
  const int16_t vertexKind = kind == 2 ? 3 : (kind == 1 || kind == 3 ? 1 : 0);
  m_pointNamer.usePrefix(m_strPointPrefix);
  for (int i = 0; i < n; ++i) {
    // Converted into a file that has X1, X2, ... already, the numbering
    // moves on to the next free name.
    const std::string_view name = dz::claimFreePointName(m_host, m_hFile, m_pointNamer, m_nPointNo);
    m_nPointNo = dz::nextPointNumber(m_nPointNo);
    PointRecord point{};
    dz::copyName(point.name, name);
    point.north = vertices[i].c1;
    point.east = vertices[i].c2;
    AddHostPoint(m_hFile, point);
    refs[i] = PointRef{};
    std::memcpy(refs[i].name, point.name, sizeof refs[i].name);
    refs[i].kind = vertexKind;
  }
  if (isRotatedCode(hostCode) && n > 1) {
    const PointRef first = refs[0];
    for (int i = 0; i + 1 < n; ++i) refs[i] = refs[i + 1];
    refs[n - 1] = first;
  }
}

void CCassConverter::AddFeatureRecord(int hostCode, const PointRef* refs, int count) {
  FeatureHeader header{};
  header.kind = dz::isHouseCode(hostCode) ? kHouse : kLineFeature;
  header.code = hostCode;
  m_host.AddFeature(m_hFile, &header, refs, count, nullptr, 0);
  ++m_nFeaturesAdded;
  if (header.kind == kHouse) ++m_nHousesAdded;
}

}  // namespace dz
