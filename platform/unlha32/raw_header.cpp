#include "unlha32/raw_header.h"

#include <cstdio>

namespace unlha32 {
namespace {

constexpr std::size_t kMethodOffset = 2;
constexpr std::size_t kLevelOffset = 20;
constexpr std::size_t kNameLengthOffset = 21;
constexpr std::size_t kNameOffset = 22;
constexpr std::size_t kLevel2CrcOffset = 21;

std::uint16_t Le16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

std::optional<RawHeader> ParseRawHeader(const unsigned char* bytes, std::size_t size) {
  if (size < kMethodOffset + 5) return std::nullopt;
  if (bytes[kMethodOffset] != '-' || bytes[kMethodOffset + 4] != '-') return std::nullopt;
  RawHeader header;
  header.method.assign(reinterpret_cast<const char*>(bytes + kMethodOffset), 5);
  if (size <= kLevelOffset) return header;
  header.level = bytes[kLevelOffset];
  if (header.level > 3) return std::nullopt;
  if (header.level >= 2) {
    if (size >= kLevel2CrcOffset + 2) header.crc = Le16(bytes + kLevel2CrcOffset);
  } else if (size > kNameLengthOffset) {
    const std::size_t crcOffset = kNameOffset + bytes[kNameLengthOffset];
    if (size >= crcOffset + 2) header.crc = Le16(bytes + crcOffset);
  }
  return header;
}

bool IsDecodedMethod(const std::string& method) {
  return method == "-lh0-" || method == "-lh5-" || method == "-lh6-" || method == "-lh7-" ||
         method == "-lhd-" || method == "-lz4-";
}

std::string MethodForDisplay(const std::string& method) {
  std::string shown;
  for (const char c : method) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      shown += hex;
    }
  }
  return shown;
}

}  // namespace unlha32
