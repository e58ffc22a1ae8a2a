#include "engine/append_path.h"

#include <cstring>
#include <string_view>

#include "engine/text_buffer.h"
#include "win32/codepage.h"

namespace engine {

bool AppendPath(std::span<char> buffer, const char* component) {
  const std::string_view path = TextOf(buffer);
  if (path.size() == buffer.size()) return false;  // no terminator: not a text
  const std::string_view part(component);
  // Only a separator that is a character of its own counts: the second byte of a
  // double-byte character such as "ソ" (0x83 0x5C) is not one.
  const bool needSeparator = !path.empty() && !win32::EndsWithSeparator(path);
  const std::size_t length = path.size() + (needSeparator ? 1 : 0) + part.size();
  if (length + 2 > buffer.size()) return false;

  char* end = buffer.data() + path.size();
  if (needSeparator) *end++ = '\\';
  std::memcpy(end, part.data(), part.size());
  end += part.size();
  end[0] = '\0';
  end[1] = '\0';  // the shell's name lists end with an empty name
  return true;
}

}  // namespace engine
