// The text of a merged menu file (for $XDG_CONFIG_HOME/menus/applications-merged/)
// that places one group in the applications menu.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace grpconv {

// levelIds are the identifiers of the group's levels, outermost first (see
// LevelId); each level is a submenu named by its identifier and titled by the
// .directory file of the same stem. The innermost level takes in the launchers of
// category. Menus of the same name at the same place merge, so two groups that
// share their outer levels share those submenus. levelIds must not be empty.
std::string RenderMenu(const std::vector<std::string>& levelIds, std::string_view category);

}  // namespace grpconv
