// The records exchanged with the host's feature library: byte-packed,
// little-endian, laid out exactly as the library reads and writes them.
// Fields not named here are reserved and stay zero in records we build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dz {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the host records are little-endian; this target is not"
#endif

#pragma pack(push, 1)

struct PointRecord {
  char name[12];        // strncpy semantics; 12 bytes carry no terminator
  int16_t w12;          // written 0
  int16_t w14;          // first integer of a .cor point line
  int16_t w16;          // second integer of a .cor point line
  uint8_t reserved18[2];
  int32_t code;         // feature code of the point
  double north;         // first coordinate
  double east;          // second coordinate
  double elev;
  uint8_t flag;         // 1 for parcel boundary points
  uint8_t reserved49[4];
};

struct PointRef {
  char name[12];
  int16_t kind;  // vertex kind
};

struct FeatureHeader {
  char name[12];
  int16_t kind;  // 0 line feature, 1 parcel, 2 boundary point, 3 house
  int32_t code;  // host feature code
};

struct TextStyle {
  uint8_t b0;
  uint8_t reserved1;
  float height;
  float width;
  uint8_t reserved10[4];
  float angle;
  int16_t w18;  // 1
  uint8_t reserved20[24];
  int32_t v44;
  uint8_t reserved48[46];
};

struct FileInfo {
  uint8_t bytes[158];
};

#pragma pack(pop)

static_assert(sizeof(PointRecord) == 53, "PointRecord is 53 bytes");
static_assert(offsetof(PointRecord, w12) == 12 && offsetof(PointRecord, w14) == 14 &&
                  offsetof(PointRecord, w16) == 16 && offsetof(PointRecord, code) == 20 &&
                  offsetof(PointRecord, north) == 24 && offsetof(PointRecord, east) == 32 &&
                  offsetof(PointRecord, elev) == 40 && offsetof(PointRecord, flag) == 48,
              "PointRecord offsets");
static_assert(sizeof(PointRef) == 14 && offsetof(PointRef, kind) == 12, "PointRef layout");
static_assert(sizeof(FeatureHeader) == 18 && offsetof(FeatureHeader, kind) == 12 &&
                  offsetof(FeatureHeader, code) == 14,
              "FeatureHeader layout");
static_assert(sizeof(TextStyle) == 94 && offsetof(TextStyle, height) == 2 && offsetof(TextStyle, width) == 6 &&
                  offsetof(TextStyle, angle) == 14 && offsetof(TextStyle, w18) == 18 &&
                  offsetof(TextStyle, v44) == 44,
              "TextStyle layout");
static_assert(sizeof(FileInfo) == 158, "FileInfo is 158 bytes");

// Feature kinds of FeatureHeader::kind.
enum FeatureKind : int16_t { kLineFeature = 0, kParcel = 1, kBoundaryPoint = 2, kHouse = 3 };

// Attribute block sizes by feature kind.
constexpr int kParcelAttributesSize = 228;
constexpr int kBoundaryPointAttributesSize = 38;
constexpr int kHouseAttributesSize = 20;

// Byte offset of the host directory in the block GetHostInfo(0) returns.
constexpr size_t kHostInfoDirOffset = 128;

}  // namespace dz
