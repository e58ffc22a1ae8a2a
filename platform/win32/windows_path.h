// A Windows path resolved into its drive and the host names below the drive's
// root, for the calls that need more than the host path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drives.h"
#include "win32/result.h"

namespace win32 {

struct ResolvedPath {
  DriveMapping drive;
  std::vector<std::string> names;  // host (UTF-8) names below drive.root
  bool exists = true;              // every name was found as an existing entry

  std::string HostPath() const;
};

Expected<ResolvedPath> ResolveWindowsPath(std::string_view windowsPath);

}  // namespace win32
