// From the groups of SETUP.INI to the files of the applications menu:
//
//   per group level   <directories>/setup-korvane-g<hash>.directory   (its name)
//   per group         <menus>/setup-korvane-m<hash>.menu               (the nesting)
//   per item          <applications>/setup-korvane-<hash>.desktop      (the launcher)
//
// An item's program and working folder are Windows paths, mapped to the host
// through the prefix (short 8.3 names resolve to the real files) and then to their
// canonical host paths; both must exist, since a launcher for a missing program
// would only fail later, out of sight.
#pragma once

#include <string_view>

#include "grpconv/file_set.h"
#include "grpconv/group_file.h"
#include "grpconv/xdg_folders.h"
#include "win32/result.h"

namespace grpconv {

// launcher is the command line that starts Windows programs: words separated by
// blanks, where double quotes group a word that holds blanks. Fails with the first reason a group or item
// cannot be converted; nothing is written here.
win32::Expected<FileSet> ConvertGroups(const GroupFile& file, const XdgFolders& folders,
                                       std::string_view launcher);

}  // namespace grpconv
