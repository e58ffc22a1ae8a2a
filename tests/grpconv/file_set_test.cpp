// Writing the menu files together, where the XDG folders are, and where SETUP.INI
// is looked for.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "grpconv/file_set.h"
#include "grpconv/setup_ini.h"
#include "grpconv/xdg_folders.h"
#include "support/temp_home.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"

namespace grpconv {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesBelow(const std::string& root) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), root).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Fails the writes or renames of files whose path holds a marker, as a full disk
// or a refusing file system would.
class FailingFileSystem : public win32::FileSystem {
 public:
  std::string failWriteOf;
  std::string failRenameTo;

  int Open(const char* path, int flags, mode_t mode) override {
    const int fd = win32::FileSystem::Open(path, flags, mode);
    if (fd >= 0 && !failWriteOf.empty() && std::string(path).find(failWriteOf) != std::string::npos) {
      failingFd_ = fd;
    }
    return fd;
  }
  ssize_t Write(int fd, const void* buffer, std::size_t size) override {
    if (fd == failingFd_) {
      // Half the data first, as a disk that fills up midway.
      if (size > 1) return win32::FileSystem::Write(fd, buffer, size / 2);
      errno = ENOSPC;
      return -1;
    }
    return win32::FileSystem::Write(fd, buffer, size);
  }
  int Close(int fd) override {
    if (fd == failingFd_) failingFd_ = -1;
    return win32::FileSystem::Close(fd);
  }
  int Rename(const char* from, const char* to) override {
    if (!failRenameTo.empty() && std::string(to).find(failRenameTo) != std::string::npos) {
      errno = EXDEV;
      return -1;
    }
    return win32::FileSystem::Rename(from, to);
  }

 private:
  int failingFd_ = -1;
};

class FileSetTest : public testing::Test {
 protected:
  void TearDown() override { win32::SetFileSystemForTesting(nullptr); }
  std::string root_ = testing_support::MakeTempDir("fileset");
  FailingFileSystem failing_;
};

TEST_F(FileSetTest, WritesAllFilesCreatingTheirFolders) {
  FileSet files;
  files.Add(root_ + "/a/b/one.desktop", "one");
  files.Add(root_ + "/c/two.menu", "two");
  files.Add(root_ + "/a/b/one.desktop", "one again");
  ASSERT_TRUE(files.Commit());
  EXPECT_EQ(FilesBelow(root_), (std::vector<std::string>{"a/b/one.desktop", "c/two.menu"}));
  EXPECT_EQ(testing_support::ReadFile(root_ + "/a/b/one.desktop"), "one again");
  EXPECT_EQ(fs::status(root_ + "/a").permissions() & fs::perms::all, fs::perms::owner_all);
  ASSERT_TRUE(files.Commit());  // again: replaced in place
  EXPECT_EQ(FilesBelow(root_), (std::vector<std::string>{"a/b/one.desktop", "c/two.menu"}));
}

TEST_F(FileSetTest, AFailedWriteLeavesNoFileAndKeepsTheOldOnes) {
  testing_support::WriteFile(root_ + "/d/one", "old one");
  testing_support::WriteFile(root_ + "/d/two", "old two");
  failing_.failWriteOf = "two";
  win32::SetFileSystemForTesting(&failing_);
  FileSet files;
  files.Add(root_ + "/d/one", "new one");
  files.Add(root_ + "/d/two", "new two");
  const win32::Status status = files.Commit();
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().reason, "cannot write " + root_ + "/d/two: " + win32::ErrnoText(ENOSPC));
  EXPECT_EQ(FilesBelow(root_), (std::vector<std::string>{"d/one", "d/two"}));
  EXPECT_EQ(testing_support::ReadFile(root_ + "/d/one"), "old one");
  EXPECT_EQ(testing_support::ReadFile(root_ + "/d/two"), "old two");
}

TEST_F(FileSetTest, AFailedRenameLeavesNoTemporaryFile) {
  failing_.failRenameTo = "two";
  win32::SetFileSystemForTesting(&failing_);
  FileSet files;
  files.Add(root_ + "/one", "one");
  files.Add(root_ + "/two", "two");
  files.Add(root_ + "/three", "three");
  const win32::Status status = files.Commit();
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().reason, "cannot write " + root_ + "/two: " + win32::ErrnoText(EXDEV));
  EXPECT_EQ(FilesBelow(root_), std::vector<std::string>{"one"});
  EXPECT_EQ(testing_support::ReadFile(root_ + "/one"), "one");
}

TEST_F(FileSetTest, AFolderThatCannotBeMadeFailsBeforeAnyWrite) {
  testing_support::WriteFile(root_ + "/plain", "a file, not a folder");
  FileSet files;
  files.Add(root_ + "/ok/one", "one");
  files.Add(root_ + "/plain/sub/two", "two");
  const win32::Status status = files.Commit();
  ASSERT_FALSE(status);
  EXPECT_NE(status.error().reason.find("cannot create the folder " + root_ + "/plain"),
            std::string::npos)
      << status.error().reason;
  EXPECT_EQ(FilesBelow(root_), std::vector<std::string>{"plain"});
}

class XdgFoldersTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      const char* value = std::getenv(name);
      saved_.push_back({name, value != nullptr ? value : ""});
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(XdgFoldersTest, FollowsTheVariablesAndTheirDefaults) {
  struct Case {
    const char* home;
    const char* config;  // nullptr: unset
    const char* data;
    std::string menus;
    std::string applications;
  };
  const std::vector<Case> cases = {
      {"/h", "/c", "/d", "/c/menus/applications-merged", "/d/applications"},
      {"/h", nullptr, nullptr, "/h/.config/menus/applications-merged", "/h/.local/share/applications"},
      {"/h", "", "", "/h/.config/menus/applications-merged", "/h/.local/share/applications"},
      {"/h", "relative", "rel/d", "/h/.config/menus/applications-merged", "/h/.local/share/applications"},
  };
  for (const Case& c : cases) {
    setenv("HOME", c.home, 1);
    c.config != nullptr ? setenv("XDG_CONFIG_HOME", c.config, 1) : unsetenv("XDG_CONFIG_HOME");
    c.data != nullptr ? setenv("XDG_DATA_HOME", c.data, 1) : unsetenv("XDG_DATA_HOME");
    auto folders = FindXdgFolders();
    ASSERT_TRUE(folders) << folders.error().reason;
    EXPECT_EQ(folders->menus, c.menus);
    EXPECT_EQ(folders->applications, c.applications);
    EXPECT_EQ(folders->directories,
              c.applications.substr(0, c.applications.size() - 12) + "desktop-directories");
  }
}

TEST_F(XdgFoldersTest, NeedsAHomeForTheDefaults) {
  unsetenv("HOME");
  unsetenv("XDG_CONFIG_HOME");
  setenv("XDG_DATA_HOME", "/d", 1);
  auto folders = FindXdgFolders();
  ASSERT_FALSE(folders);
  EXPECT_EQ(folders.error().reason, "neither XDG_CONFIG_HOME nor HOME is set to an absolute path");
  setenv("XDG_CONFIG_HOME", "/c", 1);
  EXPECT_TRUE(FindXdgFolders());
}

TEST(SetupIniPath, JoinsWithOneSeparator) {
  const std::string hyo = win32::Ansi("表");  // 0x95 0x5C: ends with a 0x5C byte
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"C:\\WINDOWS", "C:\\WINDOWS\\SETUP.INI"},
      {"C:\\", "C:\\SETUP.INI"},
      {"C:/", "C:/SETUP.INI"},
      {"C:\\WINDOWS\\", "C:\\WINDOWS\\SETUP.INI"},
      {"C:\\" + hyo, "C:\\" + hyo + "\\SETUP.INI"},
      {"", "SETUP.INI"},
  };
  for (const auto& [directory, path] : cases) EXPECT_EQ(SetupIniPath(directory), path);
}

}  // namespace
}  // namespace grpconv
