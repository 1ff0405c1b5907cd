// CRC-32 with the zlib polynomial (IEEE 802.3), as the .qel trailer carries it.
#pragma once

#include <cstdint>
#include <string_view>

namespace dz {

uint32_t crc32(std::string_view bytes);

}  // namespace dz
