// A large synthetic survey for the export and render benchmarks: a grid of
// 20 m parcels sharing their corner points, each with a house (and its
// structure text), a three-point line and a circle, so that `features`
// features come with about 2.3 times as many points and a quarter as many texts.
#pragma once

#include <cmath>
#include <string>

#include "base/fixed_field.h"
#include "standin/feature_store.h"

namespace dz::bench {

inline FeatureStore largeSurvey(int features) {
  FeatureStore s;
  const int cells = (features + 3) / 4;
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(cells))));
  s.reservePoints(static_cast<size_t>((side + 1) * (side + 1) + 9 * cells));
  auto point = [&](const std::string& name, double east, double north) {
    PointRecord p{};
    copyName(p.name, name);
    p.east = 500000 + east;
    p.north = 3100000 + north;
    s.addPoint(p);
  };
  auto feature = [&](int16_t kind, int32_t code, std::initializer_list<std::string> names, int16_t vertexKind,
                     std::vector<uint8_t> block = {}) {
    FeatureHeader header{};
    header.kind = kind;
    header.code = code;
    std::vector<PointRef> refs;
    for (const std::string& n : names) {
      PointRef r{};
      copyName(r.name, n);
      r.kind = vertexKind;
      refs.push_back(r);
    }
    s.addFeature(header, refs, block);
  };
  for (int j = 0; j <= side; ++j)
    for (int i = 0; i <= side; ++i) point("J" + std::to_string(j * (side + 1) + i), 20.0 * i, 20.0 * j);
  auto corner = [&](int i, int j) { return "J" + std::to_string(j * (side + 1) + i); };
  for (int c = 0; c < cells; ++c) {
    const int i = c % side, j = c / side;
    const double x = 20.0 * i, y = 20.0 * j;
    const std::string n = std::to_string(c);
    std::vector<uint8_t> parcel(kParcelAttributesSize, 0);
    copyField(reinterpret_cast<char*>(parcel.data()) + 40, 40, "P" + n);
    feature(kParcel, 7311, {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1), corner(i, j)}, 1,
            parcel);
    point("H" + n + "a", x + 3, y + 3);
    point("H" + n + "b", x + 11, y + 3);
    point("H" + n + "c", x + 11, y + 9);
    point("H" + n + "d", x + 3, y + 9);
    std::vector<uint8_t> house(kHouseAttributesSize, 0);
    copyField(reinterpret_cast<char*>(house.data()), 10, "砖");
    putLE<int16_t>(house.data(), 10, static_cast<int16_t>(1 + c % 6));
    feature(kHouse, 2120, {"H" + n + "a", "H" + n + "b", "H" + n + "c", "H" + n + "d", "H" + n + "a"}, 1, house);
    point("L" + n + "a", x + 1, y + 15);
    point("L" + n + "b", x + 9, y + 17);
    point("L" + n + "c", x + 18, y + 15);
    feature(kLineFeature, 4301 + 10 * (c % 5), {"L" + n + "a", "L" + n + "b", "L" + n + "c"}, 1);
    point("C" + n + "a", x + 14, y + 5);
    point("C" + n + "b", x + 17, y + 5);
    feature(kLineFeature, 5610, {"C" + n + "a", "C" + n + "b"}, 3);
    const double anchor[2] = {3100000.0 + y + 5, 500000.0 + x + 4};  // north, east
    TextStyle style{};
    style.height = 2.0f;
    s.addText(anchor, "砖" + std::to_string(1 + c % 6), style, 2);
  }
  return s;
}

}  // namespace dz::bench
