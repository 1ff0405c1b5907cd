#include "base/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace dz {

uint32_t crc32(std::string_view bytes) { return crc32Update(0, bytes.data(), bytes.size()); }

uint32_t crc32Update(uint32_t crc, const void* data, size_t size) {
  // zlib's crc32 takes a 32-bit length (uInt): larger spans go in pieces.
  const auto* p = static_cast<const Bytef*>(data);
  uLong c = crc;
  while (size > 0) {
    const size_t piece = std::min<size_t>(size, UINT_MAX);
    c = ::crc32(c, p, static_cast<uInt>(piece));
    p += piece;
    size -= piece;
  }
  return static_cast<uint32_t>(c);
}

}  // namespace dz
