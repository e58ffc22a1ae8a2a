// The prefix: the folder in which Windows lives for this program.
//
//   dosdevices/c: -> ../drive_c, dosdevices/z: -> /
//   drive_c/windows/WIN.INI, drive_c/windows/temp/, drive_c/Program Files/
//   registry/HKEY_CURRENT_USER.reg, registry/HKEY_LOCAL_MACHINE.reg
//   launcher (optional): one line, the command that starts Windows programs
//
// It lies at $SETUP_PREFIX, or ${XDG_DATA_HOME:-$HOME/.local/share}/setup/prefix.
// It is made on first use, whole or not at all: built in a sibling folder and
// renamed into place, so that two processes starting at once end with one prefix.
#pragma once

#include <string>

#include "win32/result.h"

namespace win32 {

// The host path of the prefix folder (not created).
std::string PrefixLocation();

// Makes sure the prefix exists and is complete; returns its host path. Cheap after
// the first call in a process.
Expected<std::string> EnsurePrefix();

// Forgets what the process knows of the prefix (its location, the drive table and
// the listing cache), so that a test can point SETUP_PREFIX elsewhere.
void ResetPrefixForTesting();

// The command that starts a Windows program from the menu: the first line of the
// prefix's "launcher" file, or "wine" when there is none.
std::string LauncherCommand();

}  // namespace win32
