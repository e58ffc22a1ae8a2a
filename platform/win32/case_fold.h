// Case-insensitive comparison of names, as Windows compares file, key and value
// names: every letter taken in its upper-case form.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

// The upper-case form of a UTF-8 text (letters of every script, not only ASCII).
// Bytes that are no valid UTF-8 are kept as they are.
std::string FoldCase(std::string_view utf8);

// The ASCII upper-case form of CP932 bytes; double-byte characters stay whole.
std::string FoldCp932(std::string_view cp932);

}  // namespace win32
