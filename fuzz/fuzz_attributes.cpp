// The attribute attachment over fuzzed attribute files, on a file holding a
// parcel, a boundary point and a house keyed by names the inputs may hit.
// Each file's index is also checked against a plain reading of its lines:
// every key finds the values of its first line, as a scan from the top does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "attributes/attribute_attacher.h"
#include "base/fixed_field.h"
#include "base/text_input.h"
#include "fuzz/fuzz_support.h"

namespace {

// The block `values` fill, of `size` bytes over a pattern they must cover or keep.
template <typename Values>
std::vector<uint8_t> blockOf(const Values& values, size_t size) {
  std::vector<uint8_t> block(size, 0xEE);
  values.applyTo(block.data());
  return block;
}

template <typename Index, typename Fields, typename Values>
void checkIndex(const std::string& path, size_t blockSize) {
  std::map<std::string, std::vector<uint8_t>> firstLines;
  dz::InputLineReader reader;
  if (!reader.open(path)) return;
  Fields fields;
  std::string_view line;
  while (reader.readLine(line)) {
    fields.scan(line);
    const std::string key(fields.key());
    if (key.size() < Fields::kKeyWidth && firstLines.count(key) == 0)
      firstLines[key] = blockOf(Values(fields), blockSize);
  }
  Index index;
  if (!index.load(path) || index.keyCount() != firstLines.size()) {
    std::fprintf(stderr, "index of %s: %zu keys, the lines give %zu\n", path.c_str(), index.keyCount(),
                 firstLines.size());
    std::abort();
  }
  for (const auto& [key, block] : firstLines) {
    const Values* found = index.find(key);
    if (!found || blockOf(*found, blockSize) != block) {
      std::fprintf(stderr, "index of %s: key \"%s\" does not find its first line\n", path.c_str(), key.c_str());
      std::abort();
    }
  }
  if (index.keysNotFound().count != 0) {
    std::fprintf(stderr, "index of %s: keys found are told as not found\n", path.c_str());
    std::abort();
  }
}

}  // namespace

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
  namespace at = dz::attributes;
  checkIndex<at::ParcelAttachmentIndex, at::ParcelFields, at::ParcelValues>(attacher.m_strCategoryPath[0], 228);
  checkIndex<at::BoundaryPointAttachmentIndex, at::BoundaryPointFields, at::BoundaryPointValues>(
      attacher.m_strCategoryPath[1], 38);
  checkIndex<at::HouseAttachmentIndex, at::HouseFields, at::HouseValues>(attacher.m_strCategoryPath[2], 20);
  attacher.Run(h);
  engine.CommitFeatureFile(h);
  engine.CloseFeatureFile(h);
  engine.checkCommitted(out);
  return 0;
}
