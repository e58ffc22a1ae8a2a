// grpconv -o: turns the groups that SETUP.INI describes into entries of the
// user's applications menu. See README.md beside this file.
#include <cstdio>
#include <string_view>

#include "grpconv/conversion.h"
#include "grpconv/group_file.h"
#include "grpconv/setup_ini.h"
#include "grpconv/xdg_folders.h"
#include "win32/prefix.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

win32::Status ConvertSetupIni() {
  auto bytes = grpconv::ReadSetupIni();
  if (!bytes) return bytes.error();
  auto groups = grpconv::ParseGroupFile(*bytes);
  if (!groups) return groups.error();
  if (groups->groups.empty()) return win32::Error{"SETUP.INI names no group"};
  auto folders = grpconv::FindXdgFolders();
  if (!folders) return folders.error();
  auto files = grpconv::ConvertGroups(*groups, *folders, win32::LauncherCommand());
  if (!files) return files.error();
  return files->Commit();
}

// Windows' converter also takes "/o"; it is accepted for the same reason.
bool IsConvertOption(std::string_view argument) { return argument == "-o" || argument == "/o"; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || !IsConvertOption(argv[1])) {
    std::fputs("usage: grpconv -o\n"
               "  converts the program groups of SETUP.INI in the Windows directory\n"
               "  into entries of the applications menu\n",
               stderr);
    return kUsage;
  }
  const win32::Status converted = ConvertSetupIni();
  if (!converted) {
    std::fprintf(stderr, "grpconv: %s\n", converted.error().reason.c_str());
    return kFailed;
  }
  return 0;
}
