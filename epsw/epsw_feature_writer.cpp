// The code table lookup and the writing of collected features and generated
// points.
#include <cstring>
#include <string>

#include "base/classic_scan.h"
#include "base/file_io.h"
#include "base/fixed_field.h"
#include "epsw/epsw_code_table.h"
#include "epsw/epsw_converter.h"

namespace dz {
namespace {
const ScanFormat kFeatureLine("%ld %d %d %s");
}  // namespace

namespace {

// EPSW line kind to host vertex kind: 3 and 4 swap places; every other value
// passes through as its low 16 bits.
int16_t HostVertexKind(int lineKind) {
  switch (lineKind) {
    case 3:
      return 4;
    case 4:
      return 3;
    default:
      return static_cast<int16_t>(lineKind);
  }
}

constexpr int kCircleLineKind = 4;

}  // namespace

std::string CEpswConverter::CodeTablePath() {
  const uint8_t* info = m_host.GetHostInfo(0);
  const std::string dir = info ? reinterpret_cast<const char*>(info + kHostInfoDirOffset) : "";
  return dz::joinPath(dir, dz::EpswCodeTable::kFileName);
}

int CEpswConverter::LookupEpswCode(std::string line, int& lineKind, int& vertexCount) {
  int32_t epswCode = 0;
  int32_t count = vertexCount;
  int32_t kind = lineKind;
  std::string word;
  const int scanned = kFeatureLine.scan(line, {dz::ScanTarget::integer(epswCode), dz::ScanTarget::integer(count),
                                               dz::ScanTarget::integer(kind), dz::ScanTarget::text(word, 199)});
  if (scanned < 4) m_outcome.corUnscanned.add(m_nCorLine);
  vertexCount = count;
  lineKind = kind;

  if (m_bInRun && m_pRunTable) return m_pRunTable->find(epswCode);
  // A table that cannot be opened is tried again (and told again) at every
  // feature line, so one that appears during a run is used from then on.
  auto table = std::make_unique<dz::EpswCodeTable>();
  if (!table->load(CodeTablePath())) {
    ++m_outcome.codeTableMissing;
    m_messages.ShowMessage("can't find EPSWconvert.txt failed!!", ui::kMbOk);
    return -1;
  }
  const int hostCode = table->find(epswCode);
  if (m_bInRun) m_pRunTable = std::move(table);
  return hostCode;
}

void CEpswConverter::WriteEpswFeature(int hostCode, int lineKind, PointRef* refs, int count) {
  ++m_nFeatureNo;
  // The name is used up all the same, so that the features after it are
  // named as they would be. Its points are in the file already.
  if (hostCode != kSingleVertexCode && count > dz::kMostFeatureVertices) {
    m_outcome.tooLong.add(m_nFeatureLine);
    return;
  }
  FeatureHeader header;
  std::memset(&header, 0, sizeof header);
  dz::copyName(header.name, std::to_string(m_nFeatureNo));
  header.kind = kLineFeature;
  header.code = hostCode;

  const int16_t vertexKind = HostVertexKind(lineKind);

  if (lineKind == kCircleLineKind && count == 2) {
    // A two-vertex circle comes as its centre and a point on it; the host
    // takes the two ends of a diameter, so the centre gives way to the second
    // vertex reflected through it. Without both vertices in the file there is
    // nothing to reflect, and the two vertices are written as they are.
    PointRecord first;
    PointRecord second;
    std::memset(&first, 0, sizeof first);
    std::memset(&second, 0, sizeof second);
    if (m_host.GetPoint(m_hFile, refs[0].name, &first) > 0 && m_host.GetPoint(m_hFile, refs[1].name, &second) > 0) {
      PointRecord generated = first;
      generated.east = 2 * first.east - second.east;
      generated.north = 2 * first.north - second.north;
      char name[dz::kNameWidth];
      AddGeneratedPoint(name, generated);
      dz::copyFieldFrom(refs[0].name, sizeof refs[0].name, name);
    }
  }

  for (int i = 0; i < count; ++i) refs[i].kind = vertexKind;

  if (hostCode == kSingleVertexCode) {
    for (int i = 0; i < count; ++i) {
      m_host.AddFeature(m_hFile, &header, &refs[i], 1, nullptr, 0);
      ++m_nFeaturesWritten;
    }
  } else {
    m_host.AddFeature(m_hFile, &header, refs, count, nullptr, 0);
    ++m_nFeaturesWritten;
  }
}

void CEpswConverter::AddGeneratedPoint(char name[12], PointRecord& record) {
  int32_t number = dz::nextPointNumber(m_nPointNo);
  m_pointNamer.usePrefix(std::string_view(&m_chPointPrefix, 1));
  const std::string_view text = dz::claimFreePointName(m_host, m_hFile, m_pointNamer, number);
  m_nPointNo = number;
  dz::copyName(record.name, text);
  m_host.AddPoint(m_hFile, &record, 1);
  ++m_nPointsWritten;
  std::memcpy(name, record.name, dz::kNameWidth);
}

}  // namespace dz
