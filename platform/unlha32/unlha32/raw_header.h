// The few fields of an LHA header that libarchive does not hand out: the method
// and the data CRC. They are read from the archive file at the header's offset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace unlha32 {

struct RawHeader {
  std::string method;  // the five bytes "-lh5-" and so on
  int level = 0;
  std::uint16_t crc = 0;
};

// Parses the start of a header (as many bytes as were available). Empty when the
// bytes do not even carry a method field "-xxx-" and a known header level.
std::optional<RawHeader> ParseRawHeader(const unsigned char* bytes, std::size_t size);

// True for the methods libarchive decodes: -lh0-, -lh5-, -lh6-, -lh7-, the
// folder entry -lhd- and LArc's stored -lz4-.
bool IsDecodedMethod(const std::string& method);

// The method shown in messages: printable bytes as they are, others as \xNN.
std::string MethodForDisplay(const std::string& method);

}  // namespace unlha32
