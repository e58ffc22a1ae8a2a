// Code page 932 (Windows-31J) and UTF-8, through glibc iconv's "CP932" tables.
#pragma once

#include <string>
#include <string_view>

#include "win32/result.h"

namespace win32 {

// Converts CP932 bytes to UTF-8. Bytes that are no valid CP932 fail with a reason
// that shows the offending bytes; nothing is ever replaced or dropped.
Expected<std::string> Cp932ToUtf8(std::string_view cp932);

// Converts UTF-8 to CP932. A character CP932 cannot hold fails with a reason.
Expected<std::string> Utf8ToCp932(std::string_view utf8);

// The system's own texts are written in the sources as UTF-8 literals; this turns
// one into the CP932 bytes the program handles. The literal must be representable,
// which the tests check for every text; a text that is not aborts at once.
std::string Ansi(std::string_view utf8Literal);

// For display and messages: CP932 to UTF-8, with any invalid byte shown as \xNN
// instead of failing. Never use it to build a path.
std::string Cp932ForDisplay(std::string_view cp932);

// True when byte b opens a double-byte character in CP932 (0x81-0x9F, 0xE0-0xFC).
bool IsCp932LeadByte(unsigned char b);

// True when the last character of text (CP932) is a "\" or "/" of its own, not the
// second byte of a double-byte character.
bool EndsWithSeparator(std::string_view text);

}  // namespace win32
