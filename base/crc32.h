// CRC-32 with the zlib polynomial (IEEE 802.3), as the .qel trailer carries it.
#pragma once

#include <cstdint>
#include <string_view>

namespace dz {

uint32_t crc32(std::string_view bytes);

// Continues a CRC over more bytes: crc32Update(crc32(a), b) == crc32(a + b),
// and crc32Update(0, b) == crc32(b).
uint32_t crc32Update(uint32_t crc, const void* data, size_t size);

}  // namespace dz
