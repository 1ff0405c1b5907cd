// What the conversions share in writing features into a host file: the
// names of the points they generate, the host's limit on a feature's
// vertices, and the account of the features that limit refuses.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/tally.h"
#include "host/host_library.h"

namespace dz {

// A feature's vertex count travels to and from the host as a 16-bit value.
constexpr int kMostFeatureVertices = INT16_MAX;

// The number after `number`; past the largest it wraps to the smallest
// instead of overflowing.
inline int32_t nextPointNumber(int32_t number) { return static_cast<int32_t>(static_cast<uint32_t>(number) + 1u); }

// The names a conversion gives the points it generates, prefix + n: made in
// one buffer kept from point to point, with no string per point.
class PointNamer {
 public:
  PointNamer() { usePrefix({}); }  // names are numbers alone until a prefix comes
  // The prefix of the names to come; the same prefix again changes nothing.
  void usePrefix(std::string_view prefix) {
    if (!text_.empty() && std::string_view(text_.data(), prefixLength_) == prefix) return;
    // Room for the digits of any number and the zero after them.
    text_.assign(prefix);
    text_.resize(prefix.size() + 12);
    prefixLength_ = prefix.size();
  }
  // The name of `number`, good until the next call.
  std::string_view name(int32_t number) {
    char* digits = &text_[prefixLength_];
    char* end = std::to_chars(digits, digits + 11, number).ptr;
    *end = '\0';
    return std::string_view(text_.data(), static_cast<size_t>(end - text_.data()));
  }
  // The same, zero-ended for the host.
  const char* c_str() const { return text_.c_str(); }

 private:
  std::string text_;
  size_t prefixLength_ = 0;
};

// The first generated name prefix + n, n counting up from `number`, that
// `file` does not hold yet; `number` is left at that n. A name the file
// holds (from an earlier conversion into the same file, or a point of the
// input itself) is passed over: adding under it would fail, and the new
// feature would run through the old point. Ends, as a file holds finitely
// many points. The name is `namer`'s, good until it makes another.
inline std::string_view claimFreePointName(HostLibrary& host, QelHandle file, PointNamer& namer, int32_t& number) {
  for (;;) {
    const std::string_view name = namer.name(number);
    if (host.PointExists(file, namer.c_str()) <= 0) return name;
    number = nextPointNumber(number);
  }
}

// Features a conversion could not write as its input has them (refused for
// too many vertices, or written short): how many, and the input line where
// the first of them begin.
using FeatureTally = LineTally;

}  // namespace dz
