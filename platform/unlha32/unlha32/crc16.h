// The CRC-16 of LHA archives (polynomial 0xA001, reflected, starting at 0).
#pragma once

#include <cstddef>
#include <cstdint>

namespace unlha32 {

std::uint16_t Crc16(std::uint16_t crc, const void* data, std::size_t size);

}  // namespace unlha32
