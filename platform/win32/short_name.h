// 8.3 short names, made the way Windows makes them: upper case, characters that
// an 8.3 name cannot hold replaced by "_", the first six bytes of the name, "~N",
// and the first three bytes of the extension. Double-byte CP932 characters are
// never cut in two, so a short name is always valid CP932.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace win32 {

// True when cp932 is already a valid 8.3 name (which is then its own short name).
bool IsValidShortName(std::string_view cp932);

// The short names (CP932) of a folder's entries, keyed by the entry's UTF-8 name.
// names must be sorted; the result depends on them alone, so that the same folder
// always gives the same short names and no two of them are equal ignoring case.
std::unordered_map<std::string, std::string> AssignShortNames(
    const std::vector<std::string>& sortedNames);

}  // namespace win32
