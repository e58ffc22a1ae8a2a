#include "win32/kernel.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "support/temp_home.h"
#include "win32/codepage.h"
#include "win32/faulty_file_system.h"
#include "win32/fresh_prefix.h"
#include "win32/paths.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;
using win32::Ansi;
using win32_testing::FreshPrefixTest;
using win32_testing::ScopedCurrentDirectory;

class KernelTest : public FreshPrefixTest {
 protected:
  void SetUp() override {
    FreshPrefixTest::SetUp();
    c_ = fs::canonical(DriveC()).string();
  }
  std::string c_;
};

TEST_F(KernelTest, DirectoriesAreTheWindowsOnesAndMapIntoThePrefix) {
  char buffer[MAX_PATH];
  ASSERT_EQ(16u, GetTempPathA(sizeof buffer, buffer));
  EXPECT_STREQ("C:\\WINDOWS\\TEMP\\", buffer);
  EXPECT_EQ(c_ + "/windows/temp", *win32::ToHostPath(buffer));
  ASSERT_EQ(10u, GetWindowsDirectoryA(buffer, sizeof buffer));
  EXPECT_STREQ("C:\\WINDOWS", buffer);
  EXPECT_EQ(c_ + "/windows", *win32::ToHostPath(buffer));
}

TEST_F(KernelTest, DirectoryCallsWriteNothingIntoASmallBuffer) {
  char buffer[10];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(17u, GetTempPathA(sizeof buffer, buffer));
  EXPECT_EQ(11u, GetWindowsDirectoryA(buffer, 10));
  EXPECT_EQ(std::string(10, 'x'), std::string(buffer, 10));
  char exact[11];
  EXPECT_EQ(10u, GetWindowsDirectoryA(exact, sizeof exact));
  EXPECT_STREQ("C:\\WINDOWS", exact);
}

TEST_F(KernelTest, ModuleFileNameIsTheProgramOnDriveZ) {
  char buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, MAX_PATH);
  EXPECT_EQ(length, std::strlen(buffer));
  EXPECT_EQ(0, std::strncmp(buffer, "Z:\\", 3)) << buffer;
  EXPECT_EQ(fs::canonical("/proc/self/exe").string(), *win32::ToHostPath(buffer));
  char small[8];
  EXPECT_EQ(8u, GetModuleFileNameA(nullptr, small, sizeof small));
  EXPECT_EQ('\0', small[7]);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

TEST_F(KernelTest, ShortPathNames) {
  WriteFile(c_ + "/Program Files/Korvane/Tavolin Game.exe", "x");
  char buffer[MAX_PATH];
  const DWORD length =
      GetShortPathNameA("C:\\Program Files\\Korvane\\Tavolin Game.exe", buffer, sizeof buffer);
  EXPECT_STREQ("C:\\PROGRA~1\\Korvane\\TAVOLI~1.EXE", buffer);
  EXPECT_EQ(std::strlen(buffer), length);
  char small[5] = "abc";
  EXPECT_EQ(length + 1,
            GetShortPathNameA("C:\\Program Files\\Korvane\\Tavolin Game.exe", small, sizeof small));
  EXPECT_STREQ("abc", small);
  EXPECT_EQ(0u, GetShortPathNameA("C:\\Program Files\\Nothing", buffer, sizeof buffer));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(KernelTest, DeleteFileDeletesFilesOnly) {
  WriteFile(c_ + "/del/File.txt", "x");
  EXPECT_EQ(TRUE, DeleteFileA("C:\\DEL\\FILE.TXT"));
  EXPECT_FALSE(testing_support::Exists(c_ + "/del/File.txt"));
  EXPECT_EQ(FALSE, DeleteFileA("C:\\DEL\\FILE.TXT"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
  EXPECT_EQ(FALSE, DeleteFileA("C:\\DEL"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_TRUE(fs::is_directory(c_ + "/del"));
  EXPECT_EQ(FALSE, DeleteFileA("Q:\\x"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST_F(KernelTest, CreateDirectory) {
  EXPECT_EQ(TRUE, CreateDirectoryA("C:\\New Folder", nullptr));
  EXPECT_TRUE(fs::is_directory(c_ + "/New Folder"));
  EXPECT_EQ(FALSE, CreateDirectoryA("c:\\new folder", nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
  EXPECT_EQ(FALSE, CreateDirectoryA("C:\\Missing\\Child", nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST(Strings, CopyAndConcatenateWithinTheBuffer) {
  char buffer[8] = "";
  EXPECT_EQ(buffer, lstrcpyA(buffer, sizeof buffer, "1234567"));
  EXPECT_STREQ("1234567", buffer);
  EXPECT_EQ(nullptr, lstrcpyA(buffer, sizeof buffer, "12345678"));
  EXPECT_STREQ("1234567", buffer);
  EXPECT_EQ(buffer, lstrcpyA(buffer, sizeof buffer, "abc"));
  EXPECT_EQ(buffer, lstrcatA(buffer, sizeof buffer, "defg"));
  EXPECT_STREQ("abcdefg", buffer);
  EXPECT_EQ(nullptr, lstrcatA(buffer, sizeof buffer, "h"));
  EXPECT_STREQ("abcdefg", buffer);
  EXPECT_EQ(7, lstrlenA(buffer));
  EXPECT_EQ(0, lstrlenA(nullptr));
  char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(nullptr, lstrcatA(unterminated, sizeof unterminated, ""));
}

TEST(Strings, FormatsWhatTheInstallerFormats) {
  struct Case {
    std::string expected;
    std::string actual;
  };
  char b[64];
  auto fmt = [&](int result) {
    EXPECT_EQ(static_cast<int>(std::strlen(b)), result);
    return std::string(b);
  };
  const Case kCases[] = {
      {"plain", fmt(wsprintfA(b, sizeof b, "plain"))},
      {"TAVOLIN.001", fmt(wsprintfA(b, sizeof b, "%s.%03d", "TAVOLIN", 1))},
      {"X.123", fmt(wsprintfA(b, sizeof b, "%s.%03d", "X", 123))},
      {"X.1234", fmt(wsprintfA(b, sizeof b, "%s.%03d", "X", 1234))},
      {"-5|-05|  7|7  ", fmt(wsprintfA(b, sizeof b, "%d|%03d|%3d|%-3d", -5, -5, 7, 7))},
      {"100%", fmt(wsprintfA(b, sizeof b, "%d%%", 100))},
      {"4294967295 ff FF", fmt(wsprintfA(b, sizeof b, "%u %x %X", 0xFFFFFFFFu, 255u, 255u))},
      {"12 -3 c", fmt(wsprintfA(b, sizeof b, "%i %ld %c", 12, -3, 'c'))},
      {"ab", fmt(wsprintfA(b, sizeof b, "%.2s", "abc"))},
      {"(null)", fmt(wsprintfA(b, sizeof b, "%s", static_cast<const char*>(nullptr)))},
      {"[Setup]\r\nTitle=" + Ansi("ソフト"),
       fmt(wsprintfA(b, sizeof b, "[Setup]\r\nTitle=%s", Ansi("ソフト").c_str()))},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.expected, c.actual);
}

TEST(Strings, FormatRefusesWhatDoesNotFit) {
  char b[8];
  std::memset(b, 'x', sizeof b);
  EXPECT_EQ(-1, wsprintfA(b, sizeof b, "%s", "12345678"));
  EXPECT_EQ('\0', b[0]);
  EXPECT_EQ('x', b[1]);
  EXPECT_EQ(7, wsprintfA(b, sizeof b, "%s", "1234567"));
  EXPECT_EQ(-1, wsprintfA(b, 0, "x"));
}

TEST_F(KernelTest, OldFileCallsWriteAWholeFile) {
  const std::string text = "[Setup]\r\n";
  HFILE file = _lcreat("C:\\WINDOWS\\SETUP.INI", 0);
  ASSERT_NE(HFILE_ERROR, file);
  EXPECT_EQ(text.size(), _lwrite(file, text.data(), static_cast<UINT>(text.size())));
  EXPECT_EQ(0, _lclose(file));
  EXPECT_EQ(text, ReadFile(c_ + "/windows/SETUP.INI"));
  file = _lcreat("c:\\windows\\setup.ini", 0);
  ASSERT_NE(HFILE_ERROR, file);
  EXPECT_EQ(0, _lclose(file));
  EXPECT_EQ("", ReadFile(c_ + "/windows/SETUP.INI"));
  EXPECT_EQ(HFILE_ERROR, _lcreat("Q:\\SETUP.INI", 0));
  EXPECT_EQ(HFILE_ERROR, _lcreat("C:\\no\\such\\folder\\SETUP.INI", 0));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(KernelTest, OldFileCallsReportAFullDisk) {
  win32_testing::FaultyFileSystem faulty;
  faulty.FillDiskAfter(4);
  HFILE file = _lcreat("C:\\WINDOWS\\SETUP.INI", 0);
  ASSERT_NE(HFILE_ERROR, file);
  EXPECT_EQ(static_cast<UINT>(HFILE_ERROR), _lwrite(file, "123456789", 9));
  EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
  EXPECT_EQ(0, _lclose(file));
  faulty.FailCall("open", "LOCKED", EACCES);
  EXPECT_EQ(HFILE_ERROR, _lcreat("C:\\WINDOWS\\LOCKED.INI", 0));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(KernelTest, FileExistsOnlyForFiles) {
  WriteFile(c_ + "/fe/Setup.dat", "x");
  fs::create_directories(c_ + "/fe/Folder");
  fs::create_symlink("Setup.dat", c_ + "/fe/link.dat");
  ScopedCurrentDirectory cwd(c_ + "/fe");
  struct Case {
    std::string path;
    bool exists;
  };
  const Case kCases[] = {
      {"Setup.dat", true},      {"SETUP.DAT", true},       {"C:\\fe\\setup.dat", true},
      {"link.dat", true},       {"Folder", false},         {"C:\\fe", false},
      {"missing.dat", false},   {"Q:\\Setup.dat", false},  {"bad\x80.dat", false},
      {"", false},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.exists, FileExists(c.path)) << c.path;
}

TEST(ExtractFilePath, KeepsTheFolderAndItsSeparator) {
  struct Case {
    std::string path;
    std::string folder;
  };
  const Case kCases[] = {
      {"Z:\\media\\cdrom\\SETUP.EXE", "Z:\\media\\cdrom\\"},
      {"C:\\", "C:\\"},
      {"C:SETUP.EXE", "C:"},
      {"SETUP.EXE", ""},
      {"", ""},
      {"C:\\" + Ansi("ソフト") + "\\a.exe", "C:\\" + Ansi("ソフト") + "\\"},
      {"C:\\" + Ansi("表") + "x", "C:\\"},          // the 0x5C of 表 is no separator
      {"C:\\dir\\" + Ansi("ソ"), "C:\\dir\\"},
      {"a/b", ""},                                  // "/" is not a separator here
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.folder, ExtractFilePath(c.path)) << win32::Cp932ForDisplay(c.path);
  }
}

// Waits until path exists; a started program runs on its own time.
bool Eventually(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    if (testing_support::Exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(KernelTest, WinExecStartsAProgramDetachedWithItsArguments) {
  const std::string dir = testing_support::MakeTempDir("exec");
  const std::string out = dir + "/out.txt";
  const std::string script = c_ + "/windows/writer";
  WriteFile(script, "#!/bin/sh\necho \"$#:$1:$2\" > \"" + out + ".part\"; mv \"" + out +
                        ".part\" \"" + out + "\"\n");
  fs::permissions(script, fs::perms::owner_all);
  EXPECT_GT(WinExec("WRITER -o \"two words\"", SW_HIDE), 31u);
  ASSERT_TRUE(Eventually(out));
  EXPECT_EQ("2:-o:two words\n", ReadFile(out));
}

TEST_F(KernelTest, WinExecPassesOnNoOtherDescriptors) {
  const std::string dir = testing_support::MakeTempDir("exec");
  const std::string out = dir + "/fds.txt";
  const int inherited = ::open((dir + "/held").c_str(), O_WRONLY | O_CREAT, 0644);  // no O_CLOEXEC
  ASSERT_GT(inherited, 2);
  WriteFile(c_ + "/windows/lister", "#!/bin/sh\nls /proc/$$/fd > \"" + out + ".part\"; mv \"" +
                                        out + ".part\" \"" + out + "\"\n");
  fs::permissions(c_ + "/windows/lister", fs::perms::owner_all);
  ASSERT_GT(WinExec("lister", SW_HIDE), 31u);
  ASSERT_TRUE(Eventually(out));
  ::close(inherited);
  const std::string fds = ReadFile(out);
  EXPECT_EQ(std::string::npos, ("\n" + fds).find("\n" + std::to_string(inherited) + "\n")) << fds;
}

TEST_F(KernelTest, WinExecLeavesNoChildToReap) {
  const std::string script = c_ + "/windows/sleeper";
  WriteFile(script, "#!/bin/sh\nsleep 0.2\n");
  fs::permissions(script, fs::perms::owner_all);
  ASSERT_GT(WinExec("sleeper", SW_HIDE), 31u);
  EXPECT_EQ(-1, ::waitpid(-1, nullptr, WNOHANG));
  EXPECT_EQ(ECHILD, errno);
}

TEST_F(KernelTest, WinExecFindsProgramsByPath) {
  const std::string dir = testing_support::MakeTempDir("exec");
  const std::string out = dir + "/ran";
  WriteFile(c_ + "/tools/Run Me", "#!/bin/sh\ntouch \"" + out + "\"\n");
  fs::permissions(c_ + "/tools/Run Me", fs::perms::owner_all);
  EXPECT_GT(WinExec("\"C:\\TOOLS\\RUN ME\"", SW_HIDE), 31u);
  EXPECT_TRUE(Eventually(out));
  EXPECT_GT(WinExec("true", SW_HIDE), 31u);  // from PATH
}

TEST_F(KernelTest, WinExecReportsAMissingProgram) {
  EXPECT_EQ(2u, WinExec("no-such-program-anywhere -o", SW_HIDE));
  EXPECT_EQ(2u, WinExec("", SW_HIDE));
  EXPECT_EQ(2u, WinExec("C:\\missing.exe", SW_HIDE));
  WriteFile(c_ + "/windows/notexec", "data");
  fs::permissions(c_ + "/windows/notexec", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_LE(WinExec("C:\\windows\\notexec", SW_HIDE), 31u);
}

}  // namespace
