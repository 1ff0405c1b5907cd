// The colours and sizes of the survey picture, in one place: the renderer
// draws with them and the tests look for them.
#pragma once

#include <cstdint>

namespace dz::render {

struct Rgb {
  double r, g, b;
  static constexpr Rgb hex(uint32_t v) {
    return Rgb{((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
  }
};

namespace style {

constexpr Rgb kBackground = Rgb::hex(0xFFFFFF);
constexpr Rgb kParcelFill = Rgb::hex(0xDDF0D4);     // a light green, drawn opaque
constexpr Rgb kParcelOutline = Rgb::hex(0x2E7D32);
constexpr Rgb kHouseFill = Rgb::hex(0xF6E3C6);
constexpr Rgb kHouseHatch = Rgb::hex(0xB5651D);
constexpr Rgb kHouseOutline = Rgb::hex(0x8B4513);
constexpr Rgb kPoint = Rgb::hex(0x333333);
constexpr Rgb kBoundaryPoint = Rgb::hex(0xC62828);
constexpr Rgb kText = Rgb::hex(0x000000);
constexpr Rgb kLabel = Rgb::hex(0x1B5E20);
constexpr Rgb kFrame = Rgb::hex(0x000000);

constexpr double kLineWidth = 1.5;
constexpr double kOutlineWidth = 1.2;
constexpr double kHatchSpacing = 6;     // picture units between hatch lines
constexpr double kCrossHalf = 4;        // half the arm of a point's cross
constexpr double kLabelSize = 12;       // parcel numbers, house and point labels
constexpr double kMinTextSize = 9;      // text objects never drawn smaller...
constexpr double kMaxTextSize = 72;     // ...or larger than this
constexpr double kDefaultTextSize = 12; // a text object without a height

// Line features by code, in eight colours: a code keeps its colour from
// picture to picture, and codes that differ in one digit get different ones.
Rgb lineColour(long long code);

}  // namespace style
}  // namespace dz::render
