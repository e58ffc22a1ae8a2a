// Joining a path component onto a path held in a fixed buffer, in place.
#pragma once

#include <span>

namespace engine {

// Joins component onto the NUL-terminated CP932 path in buffer: a "\" first when
// the path is not empty and does not already end with a separator character, then
// the component, then a second NUL after the terminator (so the result is also a
// one-name list for the shell's file operation). A 0x5C that is the second byte of
// a double-byte character is part of that character, not a separator.
//
// Returns false, leaving the buffer unchanged, when the result and its two
// terminators would not fit in the buffer.
bool AppendPath(std::span<char> buffer, const char* component);

}  // namespace engine
