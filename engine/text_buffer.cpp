#include "engine/text_buffer.h"

#include <cstring>

namespace engine {

std::string_view TextOf(std::span<const char> buffer) {
  const void* nul = std::memchr(buffer.data(), '\0', buffer.size());
  const std::size_t length =
      nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data())
                     : buffer.size();
  return {buffer.data(), length};
}

bool CopyText(std::span<char> buffer, std::string_view text) {
  if (text.size() + 1 > buffer.size()) return false;
  std::memcpy(buffer.data(), text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}

bool AppendText(std::span<char> buffer, std::string_view text) {
  const std::string_view current = TextOf(buffer);
  if (current.size() == buffer.size()) return false;  // no terminator: not a text
  if (current.size() + text.size() + 1 > buffer.size()) return false;
  std::memcpy(buffer.data() + current.size(), text.data(), text.size());
  buffer[current.size() + text.size()] = '\0';
  return true;
}

}  // namespace engine
