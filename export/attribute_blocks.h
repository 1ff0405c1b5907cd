// The attribute blocks of parcels, boundary points and houses read back by
// the meaning of their fields. The layouts are those the CASS conversion and
// the attribute attachment write (docs/export.md lists every field with its
// bytes and with what each writer puts there). Texts stay GBK here.
//
// A block shorter than its kind's size yields the fields that lie wholly
// inside it; the others are absent, never read beyond the block's end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/record_span.h"

namespace dz::gis {

struct ParcelAttributes {
  std::optional<double> area;          // bytes 0-7: the parcel's area
  std::optional<double> floorArea;     // bytes 8-15: floor area of its buildings
  std::optional<double> footprint;     // bytes 16-23: area its buildings cover
  std::optional<std::string> parcelNo; // bytes 40-79
  std::optional<std::string> landUse;  // bytes 80-99
  std::optional<std::string> owner;    // bytes 100-179
  std::optional<std::string> mapSheet; // bytes 205-219
  std::optional<int> ownershipCode;    // byte 224
};

struct BoundaryPointAttributes {
  std::optional<std::string> marker;    // bytes 0-9
  std::optional<std::string> lineType;  // bytes 10-19
  std::optional<std::string> pointNo;   // bytes 20-26
  std::optional<std::string> method;    // bytes 27-35
};

struct HouseAttributes {
  std::optional<std::string> structure; // bytes 0-9, up to the first zero
  std::optional<int> floors;            // bytes 10-11, signed 16-bit
};

ParcelAttributes decodeParcelAttributes(RecordSpan<uint8_t> block);
BoundaryPointAttributes decodeBoundaryPointAttributes(RecordSpan<uint8_t> block);
HouseAttributes decodeHouseAttributes(RecordSpan<uint8_t> block);

// The ownership text (GBK) that the CASS conversion encodes as the code of
// byte 224: 1, 2 and 0 for the three kinds of land ownership it knows, 3 for
// any other text, which the block no longer holds ("其他"). Null for codes
// no writer produces.
const char* ownershipText(int code);

}  // namespace dz::gis
