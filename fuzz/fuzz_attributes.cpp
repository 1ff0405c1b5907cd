// The attribute attachment over fuzzed attribute files, on a file holding a
// parcel, a boundary point and a house keyed by names the inputs may hit.
#include <cstring>

#include "attributes/attribute_attacher.h"
#include "base/fixed_field.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = dz::fuzz::splitParts(data, size, 4);
  dz::fuzz::MemoryEngine engine;
  const std::string out = dz::fuzz::workDir() + "/out.qel";
  dz::QelHandle h = engine.OpenFeatureFile(out.c_str());
  dz::PointRef ref{};
  dz::copyName(ref.name, "J1");
  dz::FeatureHeader header{};
  uint8_t parcel[228] = {};
  std::memcpy(parcel + 40, "0101", 4);
  header.kind = dz::kParcel;
  engine.AddFeature(h, &header, &ref, 1, parcel, sizeof parcel);
  header.kind = dz::kBoundaryPoint;
  engine.AddFeature(h, &header, &ref, 1, nullptr, 0);
  header.kind = dz::kHouse;
  dz::copyName(header.name, "H1");
  uint8_t house[7] = {1};  // shorter than a house block
  engine.AddFeature(h, &header, &ref, 1, house, sizeof house);

  dz::fuzz::SilentMessages messages;
  dz::CAttributeAttacher attacher(engine, messages);
  attacher.m_strCategoryPath[0] = dz::fuzz::writeFile("parcels.txt", parts[0]);
  attacher.m_strCategoryPath[1] = dz::fuzz::writeFile("points.txt", parts[1]);
  attacher.m_strCategoryPath[2] = dz::fuzz::writeFile("houses.txt", parts[2]);
  attacher.m_strPrefix = parts[3].substr(0, 8);
  attacher.m_bUsePrefix = !parts[3].empty();
  attacher.Run(h);
  engine.CommitFeatureFile(h);
  engine.CloseFeatureFile(h);
  engine.checkCommitted(out);
  return 0;
}
