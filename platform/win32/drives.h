// The drive letters of the prefix: the links dosdevices/x: and where they lead.
#pragma once

#include <optional>
#include <string>

#include "win32/result.h"

namespace win32 {

struct DriveMapping {
  char letter = 'C';  // upper case
  std::string root;   // canonical host path of the drive's root folder
};

// The drive of a letter (either case), through dosdevices/x: or dosdevices/X:.
Expected<DriveMapping> Drive(char letter);

// The drive whose root holds the canonical host path most closely (the longest
// root; the earlier letter among equals); nothing when no drive holds it.
std::optional<DriveMapping> DriveHolding(const std::string& canonicalPath);

}  // namespace win32
