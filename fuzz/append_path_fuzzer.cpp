// AppendPath on any buffer size, any path already in it and any component. The
// buffer is allocated at its exact size so that a write past it is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "engine/append_path.h"
#include "support/fuzz_check.h"
#include "win32/codepage.h"

namespace {

// Input: one byte of buffer size (1..256, plus 4 when the second byte is odd so
// that MAX_PATH-sized buffers are reached), then the path, a NUL, the component.
struct Case {
  std::size_t bufferSize = 0;
  std::string path;       // may hold no terminator within the buffer
  std::string component;  // without NUL
};

bool Split(const std::uint8_t* data, std::size_t size, Case& c) {
  if (size < 2) return false;
  c.bufferSize = std::size_t{data[0]} + 1 + ((data[1] & 1) != 0 ? 4 : 0);
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t nul = rest.find('\0');
  c.path = std::string(rest.substr(0, nul));
  if (nul != std::string_view::npos) {
    const std::string_view component = rest.substr(nul + 1);
    c.component = std::string(component.substr(0, component.find('\0')));
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Case c;
  if (!Split(data, size, c)) return 0;
  const std::size_t n = c.bufferSize;
  auto buffer = std::make_unique<char[]>(n);
  // The path fills the buffer from the start; bytes beyond it are garbage, and a
  // path as long as the buffer has no terminator at all.
  std::memset(buffer.get(), 0x7F, n);
  const std::size_t pathBytes = std::min(c.path.size(), n);
  std::memcpy(buffer.get(), c.path.data(), pathBytes);
  if (pathBytes < n) buffer[pathBytes] = '\0';
  const std::string before(buffer.get(), n);

  const bool appended = engine::AppendPath(std::span<char>(buffer.get(), n), c.component.c_str());
  const std::string after(buffer.get(), n);
  if (!appended) {
    FUZZ_CHECK(after == before);
    return 0;
  }
  FUZZ_CHECK(pathBytes < n);
  const std::string& path = c.path;
  const bool separator = !path.empty() && !win32::EndsWithSeparator(path);
  const std::string expected = path + (separator ? "\\" : "") + c.component;
  FUZZ_CHECK(expected.size() + 2 <= n);
  FUZZ_CHECK(after.compare(0, expected.size(), expected) == 0);
  FUZZ_CHECK(after[expected.size()] == '\0' && after[expected.size() + 1] == '\0');
  // Nothing past the second terminator is touched.
  FUZZ_CHECK(after.compare(expected.size() + 2, std::string::npos, before, expected.size() + 2,
                           std::string::npos) == 0);
  return 0;
}
