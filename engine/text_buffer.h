// Bounded writes into the installer's fixed text buffers.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace engine {

// Copies text and a NUL into buffer; false (buffer unchanged) when it would not fit.
bool CopyText(std::span<char> buffer, std::string_view text);

// Appends text behind the NUL-terminated contents of buffer; false (buffer
// unchanged) when the result and its NUL would not fit.
bool AppendText(std::span<char> buffer, std::string_view text);

// The NUL-terminated contents of buffer (all of it when there is no NUL).
std::string_view TextOf(std::span<const char> buffer);

}  // namespace engine
