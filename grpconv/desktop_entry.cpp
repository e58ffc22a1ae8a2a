#include "grpconv/desktop_entry.h"

#include "grpconv/desktop_value.h"

namespace grpconv {
namespace {

constexpr std::string_view kHeader =
    "# Written by grpconv from SETUP.INI; converting again rewrites it.\n"
    "[Desktop Entry]\n";

}  // namespace

win32::Expected<std::string> RenderLauncher(const LauncherEntry& entry) {
  auto name = EscapeValue(entry.name, "the item name");
  if (!name) return name.error();
  auto exec = ExecValue(entry.launcher, entry.program);
  if (!exec) return exec.error();
  std::string text(kHeader);
  text += "Type=Application\n";
  text += "Name=" + *name + "\n";
  text += "Exec=" + *exec + "\n";
  if (!entry.workingFolder.empty()) {
    auto path = EscapeValue(entry.workingFolder, "the working folder");
    if (!path) return path.error();
    text += "Path=" + *path + "\n";
  }
  text += "Terminal=false\n";
  text += "Categories=";
  for (const std::string& category : entry.categories) text += category + ";";
  text += "\n";
  return text;
}

win32::Expected<std::string> RenderDirectory(std::string_view name) {
  auto escaped = EscapeValue(name, "the group name");
  if (!escaped) return escaped.error();
  std::string text(kHeader);
  text += "Type=Directory\n";
  text += "Name=" + *escaped + "\n";
  return text;
}

}  // namespace grpconv
