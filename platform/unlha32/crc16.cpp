#include "unlha32/crc16.h"

#include <array>

namespace unlha32 {
namespace {

using Tables = std::array<std::array<std::uint16_t, 256>, 8>;

// Table k gives the effect of a byte followed by k zero bytes, so that eight bytes
// are taken in one step ("slicing by 8"); the data of a large archive passes
// through here once, and a byte at a time it was the largest cost of extraction.
constexpr Tables MakeTables() {
  Tables tables{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) != 0 ? (value >> 1) ^ 0xA001 : value >> 1;
    tables[0][i] = static_cast<std::uint16_t>(value);
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    for (unsigned i = 0; i < 256; ++i) {
      const std::uint16_t previous = tables[k - 1][i];
      tables[k][i] = static_cast<std::uint16_t>((previous >> 8) ^ tables[0][previous & 0xFF]);
    }
  }
  return tables;
}

constexpr Tables kTables = MakeTables();

}  // namespace

std::uint16_t Crc16(std::uint16_t crc, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size >= 8) {
    const unsigned low = (crc ^ p[0]) & 0xFF;
    const unsigned high = ((crc >> 8) ^ p[1]) & 0xFF;
    crc = kTables[7][low] ^ kTables[6][high] ^ kTables[5][p[2]] ^ kTables[4][p[3]] ^
          kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    p += 8;
    size -= 8;
  }
  while (size-- > 0) crc = kTables[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return crc;
}

}  // namespace unlha32
