// The safety check of an entry's name, before anything is written.
#pragma once

#include <string>
#include <vector>

#include "win32/result.h"

namespace unlha32 {

// Splits a UTF-8 entry name (as libarchive gives it, after CP932 decoding) into
// its components, taking both "/" and "\" as separators: in UTF-8 a byte 0x5C is
// always a "\" of its own, never half of a character. Empty and "." components
// are dropped. Refused with a reason: a name that is absolute ("/x", "\x",
// "\\server\x"), carries a drive or stream (any ":"), contains a ".." component or
// a control character, or is left with no component at all.
win32::Expected<std::vector<std::string>> SplitEntryName(const std::string& utf8Name);

// The components joined with "\", for messages.
std::string DisplayName(const std::vector<std::string>& components);

}  // namespace unlha32
