// From parsed groups to the set of menu files, in the process, with a prefix of
// its own.
#include "grpconv/conversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "grpconv/entry_names.h"
#include "support/temp_home.h"
#include "win32/paths.h"
#include "win32/prefix.h"

namespace grpconv {
namespace {

namespace fs = std::filesystem;

class ConvertGroupsTest : public testing::Test {
 protected:
  void SetUp() override {
    testing_support::UseFreshPrefix();
    win32::ResetPrefixForTesting();
    ASSERT_TRUE(win32::EnsurePrefix());
    auto folder = win32::ToHostPath("C:\\GAME");
    ASSERT_TRUE(folder);
    testing_support::WriteFile(*folder + "/TAVOEXEC.EXE", "MZ");
    win32::ForgetCachedListings();
  }

  static GroupItem Item(const std::string& name, int line) {
    return GroupItem{name, "C:\\GAME\\TAVOEXEC.EXE", "C:\\GAME", line};
  }

  const XdgFolders folders_{"/m", "/d", "/a"};
};

TEST_F(ConvertGroupsTest, WritesLaunchersFirstAndMenusLast) {
  GroupFile file;
  file.groups.push_back({"A\\B", {Item("One", 4), Item("Two", 5)}});
  file.groups.push_back({"A\\C", {}});  // a group without items still gets its menu
  auto files = ConvertGroups(file, folders_, "wine");
  ASSERT_TRUE(files) << files.error().reason;
  EXPECT_EQ(files->Paths(),
            (std::vector<std::string>{
                "/a/" + ItemId("A\\B", "One") + ".desktop",
                "/a/" + ItemId("A\\B", "Two") + ".desktop",
                "/d/" + LevelId("A") + ".directory",
                "/d/" + LevelId("A\\B") + ".directory",
                "/d/" + LevelId("A\\C") + ".directory",
                "/m/" + MenuId("A\\B") + ".menu",
                "/m/" + MenuId("A\\C") + ".menu",
            }));
}

TEST_F(ConvertGroupsTest, AnItemNamedTwiceIsOneLauncher) {
  GroupFile file;
  file.groups.push_back({"G", {Item("One", 4), Item("One", 5)}});
  auto files = ConvertGroups(file, folders_, "wine");
  ASSERT_TRUE(files);
  EXPECT_EQ(files->Paths().size(), 3u);
}

TEST_F(ConvertGroupsTest, NeedsALauncherCommand) {
  GroupFile file;
  file.groups.push_back({"G", {Item("One", 4)}});
  for (const char* launcher : {"", "  ", "\t"}) {
    auto files = ConvertGroups(file, folders_, launcher);
    ASSERT_FALSE(files);
    EXPECT_EQ(files.error().reason, "the prefix's launcher file names no command");
  }
}

TEST_F(ConvertGroupsTest, NamesTheLineOfAFaultyItem) {
  GroupFile file;
  GroupItem missing = Item("One", 7);
  missing.program = "C:\\GAME\\NONE.EXE";
  file.groups.push_back({"G", {Item("Ok", 6), missing}});
  auto files = ConvertGroups(file, folders_, "wine");
  ASSERT_FALSE(files);
  EXPECT_EQ(files.error().reason.rfind("SETUP.INI line 7: the program \"C:\\GAME\\NONE.EXE\" (", 0), 0u)
      << files.error().reason;
}

}  // namespace
}  // namespace grpconv
