// Where a user's menu files go, after the XDG Base Directory Specification:
// $XDG_CONFIG_HOME (by default $HOME/.config) and $XDG_DATA_HOME (by default
// $HOME/.local/share). A variable that is unset, empty or not an absolute path
// counts as unset.
#pragma once

#include <string>

#include "win32/result.h"

namespace grpconv {

struct XdgFolders {
  std::string menus;         // $XDG_CONFIG_HOME/menus/applications-merged
  std::string directories;   // $XDG_DATA_HOME/desktop-directories
  std::string applications;  // $XDG_DATA_HOME/applications
};

// Fails when a default is needed and HOME is unset or not absolute. Nothing is
// created here.
win32::Expected<XdgFolders> FindXdgFolders();

}  // namespace grpconv
