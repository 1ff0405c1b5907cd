#include "export/attribute_blocks.h"

#include "base/fixed_field.h"
#include "host/records.h"

namespace dz::gis {
namespace {

// Reads fields of a block that may be shorter than its kind's size.
class BlockFields {
 public:
  explicit BlockFields(RecordSpan<uint8_t> block) : block_(block) {}

  std::optional<std::string> text(size_t offset, size_t width) const {
    if (!fits(offset, width)) return std::nullopt;
    return fieldText(reinterpret_cast<const char*>(block_.data()) + offset, width);
  }
  std::optional<double> real(size_t offset) const {
    if (!fits(offset, 8)) return std::nullopt;
    return getLE<double>(block_.data(), offset);
  }
  std::optional<int> int16(size_t offset) const {
    if (!fits(offset, 2)) return std::nullopt;
    return getLE<int16_t>(block_.data(), offset);
  }
  std::optional<int> byte(size_t offset) const {
    if (!fits(offset, 1)) return std::nullopt;
    return block_[offset];
  }

 private:
  bool fits(size_t offset, size_t width) const { return offset + width <= block_.size(); }
  RecordSpan<uint8_t> block_;
};

static_assert(kParcelAttributesSize == 228 && kBoundaryPointAttributesSize == 38 && kHouseAttributesSize == 20,
              "the layouts below are those of the host's block sizes");

}  // namespace

ParcelAttributes decodeParcelAttributes(RecordSpan<uint8_t> block) {
  const BlockFields f(block);
  ParcelAttributes a;
  a.area = f.real(0);
  a.floorArea = f.real(8);
  a.footprint = f.real(16);
  a.parcelNo = f.text(40, 40);
  a.landUse = f.text(80, 20);
  a.owner = f.text(100, 80);
  a.mapSheet = f.text(205, 15);
  a.ownershipCode = f.byte(224);
  return a;
}

BoundaryPointAttributes decodeBoundaryPointAttributes(RecordSpan<uint8_t> block) {
  const BlockFields f(block);
  BoundaryPointAttributes a;
  a.marker = f.text(0, 10);
  a.lineType = f.text(10, 10);
  a.pointNo = f.text(20, 7);
  a.method = f.text(27, 9);
  return a;
}

HouseAttributes decodeHouseAttributes(RecordSpan<uint8_t> block) {
  const BlockFields f(block);
  HouseAttributes a;
  a.structure = f.text(0, 10);
  a.floors = f.int16(10);
  return a;
}

const char* ownershipText(int code) {
  switch (code) {
    case 0: return "集体土地所有权";
    case 1: return "国有土地所有权";
    case 2: return "私有土地所有权";
    case 3: return "其他";
    default: return nullptr;
  }
}

}  // namespace dz::gis
