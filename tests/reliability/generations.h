// The files the crash test writes: generation g of a feature file, whose
// size and every part depend on g, so that a file made of two generations,
// or cut short, never equals any one of them.
#pragma once

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/fixed_field.h"
#include "host/host_library.h"
#include "standin/feature_store.h"

namespace dz::test {

// Generation g: the point GEN (north = g), 500 points, and 10 to 22
// features, each with an attribute block of 64 KiB: 0.7 to 1.5 MB, most of
// it cheap to make, so that a writer spends its time writing.
constexpr int kGenerationPoints = 500;
constexpr size_t kGenerationBlock = 64 * 1024;

inline int featuresOfGeneration(long g) { return 10 + static_cast<int>(g % 7) * 2; }

inline void fillGeneration(HostLibrary& host, QelHandle h, long g) {
  PointRecord p{};
  copyName(p.name, "GEN");
  p.north = static_cast<double>(g);
  host.AddPoint(h, &p, 1);
  for (int i = 0; i < kGenerationPoints; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "P%d", i);
    copyName(p.name, name);
    p.north = g * 1000.0 + i;
    p.east = g * 0.5 - i;
    p.code = static_cast<int16_t>(g + i);
    host.AddPoint(h, &p, 1);
  }
  std::vector<uint8_t> block(kGenerationBlock);
  for (int f = 0; f < featuresOfGeneration(g); ++f) {
    std::fill(block.begin(), block.end(), static_cast<uint8_t>(g * 31 + f * 7));
    FeatureHeader header{};
    header.code = static_cast<int16_t>(f);
    PointRef ref{};
    std::snprintf(ref.name, sizeof ref.name, "P%d", f);
    ref.kind = 1;
    host.AddFeature(h, &header, &ref, 1, block.data(), static_cast<int>(block.size()));
  }
}

// The generation a file holds; -1 when it holds none.
inline long generationOf(const FeatureStore& store) {
  const std::optional<PointRecord> gen = store.findPoint(NameKey::of("GEN"));
  return gen ? static_cast<long>(gen->north) : -1;
}

}  // namespace dz::test
