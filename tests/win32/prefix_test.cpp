#include "win32/prefix.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_home.h"
#include "win32/faulty_file_system.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Exists;
using testing_support::ReadFile;

// Everything a prefix holds, checked on the host.
void ExpectCompletePrefix(const std::string& prefix) {
  EXPECT_EQ("../drive_c", fs::read_symlink(prefix + "/dosdevices/c:").string());
  EXPECT_EQ("/", fs::read_symlink(prefix + "/dosdevices/z:").string());
  EXPECT_TRUE(fs::is_directory(prefix + "/drive_c/windows/temp"));
  EXPECT_TRUE(fs::is_directory(prefix + "/drive_c/Program Files"));
  EXPECT_NE(std::string::npos, ReadFile(prefix + "/drive_c/windows/WIN.INI").find("[fonts]\r\n"));
  EXPECT_EQ("REGEDIT4\n\n", ReadFile(prefix + "/registry/HKEY_CURRENT_USER.reg"));
  EXPECT_NE(std::string::npos,
            ReadFile(prefix + "/registry/HKEY_LOCAL_MACHINE.reg")
                .find("[Software\\Microsoft\\Windows\\CurrentVersion]\n"
                      "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"));
}

// Names beside the prefix that are no part of it (half-built siblings).
std::vector<std::string> Leftovers(const std::string& prefix) {
  std::vector<std::string> names;
  const fs::path parent = fs::path(prefix).parent_path();
  const std::string stem = "." + fs::path(prefix).filename().string();
  if (!fs::exists(parent)) return names;
  for (const auto& entry : fs::directory_iterator(parent)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(stem, 0) == 0) names.push_back(name);
  }
  return names;
}

class PrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = testing_support::UseFreshPrefix();
    win32::ResetPrefixForTesting();
  }
  void TearDown() override { win32::ResetPrefixForTesting(); }
  std::string prefix_;
};

TEST_F(PrefixTest, CreatesAFreshPrefixOnFirstUse) {
  EXPECT_FALSE(Exists(prefix_));
  win32::Expected<std::string> made = win32::EnsurePrefix();
  ASSERT_TRUE(made.ok()) << made.error().reason;
  EXPECT_EQ(prefix_, *made);
  ExpectCompletePrefix(prefix_);
  EXPECT_TRUE(Leftovers(prefix_).empty());
}

TEST_F(PrefixTest, LeavesAnExistingPrefixAlone) {
  ASSERT_TRUE(win32::EnsurePrefix().ok());
  testing_support::WriteFile(prefix_ + "/drive_c/windows/WIN.INI", "mine");
  fs::remove(prefix_ + "/drive_c/windows/temp");
  win32::ResetPrefixForTesting();
  ASSERT_TRUE(win32::EnsurePrefix().ok());
  EXPECT_EQ("mine", ReadFile(prefix_ + "/drive_c/windows/WIN.INI"));
  EXPECT_TRUE(fs::is_directory(prefix_ + "/drive_c/windows/temp"));
}

TEST_F(PrefixTest, TakesAnEmptyFolderButNoOtherFolder) {
  fs::create_directories(prefix_);
  ASSERT_TRUE(win32::EnsurePrefix().ok());
  ExpectCompletePrefix(prefix_);

  const std::string other = testing_support::UseFreshPrefix();
  testing_support::WriteFile(other + "/somebody.txt", "else");
  win32::Expected<std::string> refused = win32::EnsurePrefix();
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(std::string::npos, refused.error().reason.find(other));
  EXPECT_EQ("else", ReadFile(other + "/somebody.txt"));
  EXPECT_FALSE(Exists(other + "/dosdevices"));
}

TEST_F(PrefixTest, LocationFollowsTheEnvironment) {
  const std::string saved = std::getenv("SETUP_PREFIX");
  const std::string savedData = std::getenv("XDG_DATA_HOME");
  unsetenv("SETUP_PREFIX");
  setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ("/data/home/setup/prefix", win32::PrefixLocation());
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(std::string(std::getenv("HOME")) + "/.local/share/setup/prefix",
            win32::PrefixLocation());
  setenv("XDG_DATA_HOME", savedData.c_str(), 1);
  setenv("SETUP_PREFIX", saved.c_str(), 1);
  EXPECT_EQ(saved, win32::PrefixLocation());
}

TEST_F(PrefixTest, ProcessesStartingTogetherEndWithOnePrefix) {
  constexpr int kProcesses = 8;
  std::vector<pid_t> children;
  for (int i = 0; i < kProcesses; ++i) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      win32::Expected<std::string> made = win32::EnsurePrefix();
      ::_exit(made.ok() && *made == prefix_ ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ExpectCompletePrefix(prefix_);
  EXPECT_TRUE(Leftovers(prefix_).empty());
  EXPECT_FALSE(Exists(prefix_ + "/prefix"));
  ASSERT_TRUE(win32::EnsurePrefix().ok());
}

TEST_F(PrefixTest, AFailedCreationLeavesNothing) {
  struct Case {
    const char* call;
    const char* pathPart;
    int errnum;
  };
  const Case kCases[] = {
      {"mkdir", "temp", EACCES},
      {"mkdir", "Program Files", EROFS},
      {"symlink", "z:", EIO},
      {"open", "WIN.INI", EACCES},
      {"write", "HKEY_LOCAL_MACHINE", ENOSPC},
      {"fsync", "HKEY_CURRENT_USER", EIO},
      {"rename", "prefix", EXDEV},
  };
  for (const Case& c : kCases) {
    prefix_ = testing_support::UseFreshPrefix();
    win32::ResetPrefixForTesting();
    {
      win32_testing::FaultyFileSystem faulty;
      faulty.FailCall(c.call, c.pathPart, c.errnum);
      win32::Expected<std::string> made = win32::EnsurePrefix();
      ASSERT_FALSE(made.ok()) << c.call << " " << c.pathPart;
      EXPECT_NE(std::string::npos, made.error().reason.find(std::strerror(c.errnum)))
          << made.error().reason;
      EXPECT_FALSE(Exists(prefix_)) << c.call << " " << c.pathPart;
      EXPECT_TRUE(Leftovers(prefix_).empty()) << c.call << " " << c.pathPart;
    }
    ASSERT_TRUE(win32::EnsurePrefix().ok());
    ExpectCompletePrefix(prefix_);
  }
}

TEST_F(PrefixTest, TheLeftoversOfACrashedBuilderAreRemoved) {
  const pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(dead, ::waitpid(dead, nullptr, 0));
  const fs::path parent = fs::path(prefix_).parent_path();
  const std::string stem = "." + fs::path(prefix_).filename().string() + ".building-";
  const std::string abandoned = (parent / (stem + std::to_string(dead) + "-1")).string();
  const std::string running = (parent / (stem + std::to_string(::getppid()) + "-1")).string();
  testing_support::WriteFile(abandoned + "/drive_c/half", "x");
  testing_support::WriteFile(running + "/drive_c/half", "x");
  ASSERT_TRUE(win32::EnsurePrefix().ok());
  EXPECT_FALSE(Exists(abandoned));
  EXPECT_TRUE(Exists(running));
  fs::remove_all(running);
}

TEST_F(PrefixTest, AFullDiskLeavesNothing) {
  win32_testing::FaultyFileSystem faulty;
  faulty.FillDiskAfter(20);
  EXPECT_FALSE(win32::EnsurePrefix().ok());
  EXPECT_FALSE(Exists(prefix_));
  EXPECT_TRUE(Leftovers(prefix_).empty());
}

TEST_F(PrefixTest, LauncherIsWineUnlessConfigured) {
  ASSERT_TRUE(win32::EnsurePrefix().ok());
  EXPECT_EQ("wine", win32::LauncherCommand());
  testing_support::WriteFile(prefix_ + "/launcher", "/opt/wine-staging/bin/wine\nignored\n");
  EXPECT_EQ("/opt/wine-staging/bin/wine", win32::LauncherCommand());
}

}  // namespace
