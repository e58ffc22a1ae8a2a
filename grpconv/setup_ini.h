// Finding and reading SETUP.INI, which the installer leaves in the Windows
// directory of the prefix. It is read only: the file stays as it is.
#pragma once

#include <string>
#include <string_view>

#include "win32/result.h"

namespace grpconv {

// The Windows path of SETUP.INI in windowsDirectory, with one "\" between them
// also when the directory is a drive root such as "C:\" (a trailing "\" that is the
// second byte of a double-byte character does not count as one).
std::string SetupIniPath(std::string_view windowsDirectory);

// The bytes of SETUP.INI in the prefix's Windows directory. Fails when there is
// no prefix (it is not created here), when the file is missing or unreadable, and
// when it is larger than a group file can be.
win32::Expected<std::string> ReadSetupIni();

}  // namespace grpconv
