// Builds features the way the CASS conversion writes them, for the
// attachment's tests and benchmark: parcels (kind 1, code 7311) with their
// number in bytes 40-79 of a 228-byte block, parcel labels (kind 2, code 7310)
// whose one point is named after the parcel, and houses (kind 3) without a name.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "base/fixed_field.h"
#include "host/host_library.h"

namespace dz::test {

inline PointRef pointRef(const std::string& name, int16_t kind = 1) {
  PointRef r{};
  copyName(r.name, name);
  r.kind = kind;
  return r;
}

inline int addFeature(HostLibrary& host, QelHandle h, int16_t kind, int32_t code, const std::string& name,
                      const std::vector<PointRef>& refs, const std::vector<uint8_t>& block) {
  FeatureHeader header{};
  copyName(header.name, name);
  header.kind = kind;
  header.code = code;
  return host.AddFeature(h, &header, refs.empty() ? nullptr : refs.data(), static_cast<int>(refs.size()),
                         block.empty() ? nullptr : block.data(), static_cast<int>(block.size()));
}

// A parcel block as the CASS conversion fills it; `fill` marks the bytes that
// the attachment must leave alone.
inline std::vector<uint8_t> parcelBlock(const std::string& number, uint8_t fill = 0) {
  std::vector<uint8_t> block(kParcelAttributesSize, fill);
  copyField(reinterpret_cast<char*>(block.data()) + 40, 40, number);
  return block;
}

inline int addParcel(HostLibrary& host, QelHandle h, const std::string& number, uint8_t fill = 0) {
  return addFeature(host, h, kParcel, 7311, "", {pointRef("J1"), pointRef("J2"), pointRef("J1")},
                    parcelBlock(number, fill));
}

inline int addParcelLabel(HostLibrary& host, QelHandle h, const std::string& number) {
  std::vector<uint8_t> block(kBoundaryPointAttributesSize, 0);
  copyField(reinterpret_cast<char*>(block.data()), 10, number);
  return addFeature(host, h, kBoundaryPoint, 7310, "", {pointRef(number, 0)}, block);
}

inline int addHouse(HostLibrary& host, QelHandle h, const std::string& name, const std::string& structure = "",
                    int16_t floors = 0) {
  std::vector<uint8_t> block(kHouseAttributesSize, 0);
  copyField(reinterpret_cast<char*>(block.data()), 10, structure);
  putLE<int16_t>(block.data(), 10, floors);
  return addFeature(host, h, kHouse, 2110, name, {pointRef("X1"), pointRef("X2"), pointRef("X3"), pointRef("X1")},
                    block);
}

}  // namespace dz::test
