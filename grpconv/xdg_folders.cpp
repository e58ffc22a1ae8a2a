#include "grpconv/xdg_folders.h"

#include <cstdlib>
#include <optional>

namespace grpconv {
namespace {

std::optional<std::string> AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::string(value);
}

win32::Expected<std::string> BaseFolder(const char* variable, const char* belowHome) {
  if (auto value = AbsoluteVariable(variable)) return *value;
  auto home = AbsoluteVariable("HOME");
  if (!home) {
    return win32::Error{std::string("neither ") + variable +
                        " nor HOME is set to an absolute path"};
  }
  return *home + "/" + belowHome;
}

}  // namespace

win32::Expected<XdgFolders> FindXdgFolders() {
  auto config = BaseFolder("XDG_CONFIG_HOME", ".config");
  if (!config) return config.error();
  auto data = BaseFolder("XDG_DATA_HOME", ".local/share");
  if (!data) return data.error();
  return XdgFolders{*config + "/menus/applications-merged", *data + "/desktop-directories",
                    *data + "/applications"};
}

}  // namespace grpconv
