// The .qel loader must refuse anything that is not a whole, undamaged file,
// and whatever it accepts must encode back to the same bytes. The checksum
// would stop almost every mutation early, so half of the inputs get a valid
// checksum appended to reach the structure checks. Read in pieces (of a size
// the input's first byte gives), the loader must agree with itself read
// whole: the same answer, the same reason, the same store.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/crc32.h"
#include "base/fixed_field.h"
#include "standin/qel_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!bytes.empty() && (bytes.back() & 1)) {
    bytes.pop_back();
    uint8_t crc[4];
    dz::putLE<uint32_t>(crc, 0, dz::crc32(bytes));
    bytes.append(reinterpret_cast<const char*>(crc), 4);
  }
  dz::FeatureStore store;
  std::string reason;
  const bool ok = dz::decodeQel(bytes, store, reason);
  if (ok && dz::encodeQel(store) != bytes) std::abort();

  const size_t piece = size > 0 ? 1 + data[0] % 64 : 1;
  size_t at = 0;
  const dz::QelSource source = [&](void* to, size_t n) -> int64_t {
    n = std::min({n, piece, bytes.size() - at});
    std::memcpy(to, bytes.data() + at, n);
    at += n;
    return static_cast<int64_t>(n);
  };
  dz::FeatureStore inPieces;
  std::string piecesReason;
  bool readFailed = false;
  const bool piecesOk = dz::decodeQel(bytes.size(), source, inPieces, piecesReason, readFailed);
  if (piecesOk != ok || readFailed || (!ok && piecesReason != reason)) std::abort();
  if (ok && dz::encodeQel(inPieces) != bytes) std::abort();
  return 0;
}
