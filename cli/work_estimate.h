// What a command can tell the engine ahead from the size of its input: the
// points and features of the file it writes, so that the file's store is
// sized once (FeatureFileEngine::expectWork). An estimate a little high
// costs address space that is never touched; one low, one growth step.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "base/file_io.h"
#include "standin/engine.h"

namespace dz::cli {

// Bytes of input per point and per feature in typical files.
struct InputDensity {
  uint64_t perPoint;
  uint64_t perFeature;
};
// A .cas coordinate line "north,east" is about 24 bytes; a feature with its
// header line and about two vertices about 56.
constexpr InputDensity kCasDensity = {24, 56};
// A .cor point line "name north east elevation w14 w16" is about 36 bytes,
// a feature about ten of them.
constexpr InputDensity kCorDensity = {36, 360};
// A point file line "name,code,east,north,elevation" is about 32 bytes.
constexpr InputDensity kPointFileDensity = {32, UINT64_MAX};

// Tells `engine` the work on `out` that `inputs` (bytes in all) imply.
inline void expectWorkFrom(FeatureFileEngine& engine, const std::string& out, uint64_t inputBytes,
                           InputDensity density) {
  // A 32-bit process holds no more than this many of either anyway.
  constexpr uint64_t kLimit = 40000000;
  engine.expectWork(out, static_cast<size_t>(std::min(inputBytes / density.perPoint, kLimit)),
                    static_cast<size_t>(std::min(inputBytes / density.perFeature, kLimit)));
}

}  // namespace dz::cli
