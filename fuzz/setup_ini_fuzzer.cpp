// SETUP.INI, as grpconv reads it from the Windows directory: parsed, split into
// group levels and converted into the menu files (which are not written). The
// prefix holds C:\Program Files\Korvane\Tavolin\Tavolin.exe, so that items can
// get as far as their launchers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "grpconv/conversion.h"
#include "grpconv/group_file.h"
#include "grpconv/xdg_folders.h"
#include "support/fuzz_check.h"
#include "support/fuzz_home.h"

namespace {

grpconv::XdgFolders& Folders() {
  static grpconv::XdgFolders folders;
  return folders;
}

void CheckGroupFile(const grpconv::GroupFile& file) {
  FUZZ_CHECK(file.groups.size() <= grpconv::kMaxGroups);
  std::size_t items = 0;
  for (const grpconv::Group& group : file.groups) {
    items += group.items.size();
    for (const grpconv::GroupItem& item : group.items) {
      FUZZ_CHECK(!item.name.empty() && !item.program.empty());
      FUZZ_CHECK(item.line > 0);
    }
    auto levels = grpconv::SplitGroupLevels(group.name);
    if (levels) FUZZ_CHECK(!levels->empty() && levels->size() <= grpconv::kMaxGroupLevels);
  }
  FUZZ_CHECK(items <= grpconv::kMaxItems);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeFuzzHome();
  fuzz_support::SilenceReports();
  auto folders = grpconv::FindXdgFolders();
  if (folders) Folders() = *folders;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  auto file = grpconv::ParseGroupFile(bytes);
  if (!file) {
    FUZZ_CHECK(!file.error().reason.empty());
    return 0;
  }
  CheckGroupFile(*file);
  auto files = grpconv::ConvertGroups(*file, Folders(), "wine");
  if (!files) FUZZ_CHECK(!files.error().reason.empty());
  return 0;
}
