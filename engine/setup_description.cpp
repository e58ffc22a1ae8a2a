#include "engine/setup_description.h"

#include <array>
#include <cstring>
#include <limits>

#include "win32/codepage.h"
#include "win32/stream.h"

namespace engine {
namespace {

// Reads the description byte by byte from any source of bytes; next() gives the
// next byte or -1 at the end of the data.
template <class Next>
SetupDescription Parse(Next next) {
  SetupDescription result;

  // Line 1: up to and including the first LF, never more than 259 bytes. A NUL
  // inside ends the name, as it would end the C string the name is kept in.
  std::string line;
  int c = -1;
  while (line.size() < kPackageNameLimit && (c = next()) >= 0) {
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (const std::size_t lf = line.find('\n'); lf != std::string::npos) line.resize(lf);
  if (const std::size_t nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
  result.PackageName = std::move(line);

  // The count: white space of any kind, an optional sign, decimal digits.
  c = next();
  while (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') c = next();
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = next();
  }
  if (c < '0' || c > '9') return result;

  // The magnitude may reach 2^31 for a negative count; anything beyond the signed
  // 32-bit range is marked out of range rather than wrapped into another number.
  const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  for (; c >= '0' && c <= '9'; c = next()) {
    if (!result.CountOutOfRange) {
      magnitude = magnitude * 10 + (c - '0');
      if (magnitude > limit) result.CountOutOfRange = true;
    }
  }
  if (result.CountOutOfRange) {
    result.VolumeCount = std::numeric_limits<std::int32_t>::min();
  } else {
    result.VolumeCount = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  }
  return result;
}

}  // namespace

bool IsUsablePackageName(std::string_view name) {
  const win32::Expected<std::string> utf8 = win32::Cp932ToUtf8(name);
  if (!utf8 || *utf8 == "." || *utf8 == "..") return false;
  for (const char c : *utf8) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == ':') return false;
  }
  return true;
}

SetupDescription ParseSetupDescription(std::string_view data) {
  std::size_t pos = 0;
  return Parse([&]() -> int {
    return pos < data.size() ? static_cast<unsigned char>(data[pos++]) : -1;
  });
}

SetupDescription ReadSetupDescription(std::string_view windowsPath) {
  auto opened = win32::Stream::Open(windowsPath, "r");
  if (!opened) return {};
  win32::Stream& stream = **opened;
  std::array<char, 4096> chunk;
  std::size_t pos = 0;
  std::size_t filled = 0;
  SetupDescription result = Parse([&]() -> int {
    if (pos == filled) {
      filled = stream.Read(chunk.data(), chunk.size());
      pos = 0;
      if (filled == 0) return -1;
    }
    return static_cast<unsigned char>(chunk[pos++]);
  });
  // A read that failed part-way gives the defaults, as an unreadable file does,
  // rather than a name cut off at some arbitrary byte.
  const bool failed = stream.failed();
  stream.Close();
  return failed ? SetupDescription{} : result;
}

}  // namespace engine
