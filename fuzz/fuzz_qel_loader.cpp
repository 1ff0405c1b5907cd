// The .qel loader must refuse anything that is not a whole, undamaged file,
// and whatever it accepts must encode back to the same bytes. The checksum
// would stop almost every mutation early, so half of the inputs get a valid
// checksum appended to reach the structure checks.
#include <cstdint>
#include <cstdlib>
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
  if (dz::decodeQel(bytes, store, reason) && dz::encodeQel(store) != bytes) std::abort();
  return 0;
}
