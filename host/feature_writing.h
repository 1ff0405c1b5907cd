// What the conversions share in writing features into a host file: the
// names of the points they generate, the host's limit on a feature's
// vertices, and the account of the features that limit refuses.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "base/tally.h"
#include "host/host_library.h"

namespace dz {

// A feature's vertex count travels to and from the host as a 16-bit value.
constexpr int kMostFeatureVertices = INT16_MAX;

// The number after `number`; past the largest it wraps to the smallest
// instead of overflowing.
inline int32_t nextPointNumber(int32_t number) { return static_cast<int32_t>(static_cast<uint32_t>(number) + 1u); }

// The first generated name `prefix` + n, n counting up from `number`, that
// `file` does not hold yet; `number` is left at that n. A name the file
// holds (from an earlier conversion into the same file, or a point of the
// input itself) is passed over: adding under it would fail, and the new
// feature would run through the old point. Ends, as a file holds finitely
// many points.
inline std::string claimFreePointName(HostLibrary& host, QelHandle file, const std::string& prefix, int32_t& number) {
  std::string name = prefix;
  for (;;) {
    // A name a conversion makes for every vertex: its digits written in
    // place, with no string for the number.
    char digits[12];
    const size_t length = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
    name.resize(prefix.size());
    name.append(digits, length);
    if (host.PointExists(file, name.c_str()) <= 0) return name;
    number = nextPointNumber(number);
  }
}

// Features a conversion could not write as its input has them (refused for
// too many vertices, or written short): how many, and the input line where
// the first of them begin.
using FeatureTally = LineTally;

}  // namespace dz
