// The setup description "Setup.dat": the package name and the volume count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

inline constexpr std::size_t kPackageNameLimit = 259;  // bytes, without the NUL

struct SetupDescription {
  std::string PackageName;   // CP932, at most 259 bytes, no NUL
  std::int32_t VolumeCount = 0;
  // True when the count's digits stood for a number outside the signed 32-bit
  // range. The count is then INT32_MIN, a negative count, which the joining stage
  // refuses with a clear message instead of reading it as some other number.
  bool CountOutOfRange = false;
};

// True when name can stand as a folder name and a file stem: valid CP932, not
// empty of meaning ("." or ".."), and without separators, drive colons or control
// characters, any of which would put the package somewhere else than below the
// chosen folder.
bool IsUsablePackageName(std::string_view name);

// Parses the data as the text-mode reading delivers it (CR bytes already removed,
// nothing after a 0x1A).
SetupDescription ParseSetupDescription(std::string_view textModeData);

// Reads the file at windowsPath (normally the bare "Setup.dat") in text mode and
// parses it. A file that cannot be opened or read gives the defaults: an empty name
// and a count of 0.
SetupDescription ReadSetupDescription(std::string_view windowsPath);

}  // namespace engine
