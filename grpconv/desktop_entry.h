// The text of the desktop entry files of a group: a .directory file that names a
// menu folder, and a .desktop launcher per item.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "win32/result.h"

namespace grpconv {

struct LauncherEntry {
  std::string name;                   // UTF-8, as the menu shows it
  std::vector<std::string> launcher;  // the words of the command that runs Windows programs
  std::string program;                // host path of the program
  std::string workingFolder;          // host path; empty for none
  std::vector<std::string> categories;
};

// A Type=Application entry; fails when a value cannot be written (see EscapeValue).
win32::Expected<std::string> RenderLauncher(const LauncherEntry& entry);

// A Type=Directory entry that gives a menu folder its name (UTF-8).
win32::Expected<std::string> RenderDirectory(std::string_view name);

}  // namespace grpconv
