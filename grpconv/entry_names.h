// Stable ASCII names for the menu files of a group and its items.
//
// The names of groups and items are CP932 text of any length, which file names and
// menu identifiers cannot carry as they are. Each name is derived instead from a
// 64-bit FNV-1a hash of the CP932 bytes, written as 16 hexadecimal digits behind
// our own vendor prefix, so that converting the same file again rewrites the same
// files instead of adding new ones.
#pragma once

#include <string>
#include <string_view>

namespace grpconv {

inline constexpr std::string_view kVendorPrefix = "setup-korvane-";

// Every launcher we write carries this category, so that a user or a script can
// find all of them; it is no registered category, so that no desktop's own menus
// (Games, Office) take the entries in.
inline constexpr std::string_view kCategory = "X-Setup-Korvane";

// The identifier of one group level: its menu's name and its .directory file's
// stem. levelPath is the group name up to and including that level ("A" and "A\B"
// for "A\B"), so that equal paths of two groups share one menu.
std::string LevelId(std::string_view levelPath);

// The stem of the .menu file of a whole group.
std::string MenuId(std::string_view groupName);

// The category that places a group's launchers in its menu.
std::string GroupCategory(std::string_view groupName);

// The stem of the .desktop file of an item; an item of the same name in the same
// group is the same launcher.
std::string ItemId(std::string_view groupName, std::string_view itemName);

}  // namespace grpconv
