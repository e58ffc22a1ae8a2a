#include "win32/shell.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_home.h"
#include "win32/codepage.h"
#include "win32/faulty_file_system.h"
#include "win32/fresh_prefix.h"
#include "win32/report.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;
using win32::Ansi;
using win32_testing::FreshPrefixTest;

struct Reported {
  HWND owner;
  std::string caption;
  std::string text;
};

class ShellTest : public FreshPrefixTest {
 protected:
  void SetUp() override {
    FreshPrefixTest::SetUp();
    win32::SetReportHook([this](HWND owner, const std::string& caption, const std::string& text) {
      reports_.push_back(Reported{owner, caption, text});
    });
    winIni_ = ReadFile(DriveC() + "/windows/WIN.INI");
  }
  void TearDown() override {
    win32::SetReportHook(nullptr);
    FreshPrefixTest::TearDown();
  }

  // The shell's list form: the name, then two NULs.
  static std::string List(const std::string& name) { return name + std::string(2, '\0'); }

  int Run(UINT function, const std::string& from, const std::string& to, WORD flags = 0x14) {
    const std::string fromList = List(from);
    const std::string toList = List(to);
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner_;
    operation.wFunc = function;
    operation.pFrom = fromList.c_str();
    operation.pTo = function == FO_DELETE ? nullptr : toList.c_str();
    operation.fFlags = flags;
    return SHFileOperationA(&operation);
  }

  // Files in a folder whose names are not the expected ones (half copies).
  std::vector<std::string> Strays(const std::string& folder, const std::string& expected) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().filename() != expected) names.push_back(entry.path().filename());
    }
    return names;
  }

  HWND owner_ = reinterpret_cast<HWND>(0x1234);
  std::vector<Reported> reports_;
  std::string winIni_;
};

TEST_F(ShellTest, CopiesIntoNewFoldersAndDeletes) {
  const std::string target = "C:\\Games\\" + Ansi("ソフト表示") + "\\KWIX.INI";
  ASSERT_EQ(0, Run(FO_COPY, "C:\\WINDOWS\\WIN.INI", target));
  const std::string host = DriveC() + "/Games/ソフト表示/KWIX.INI";
  EXPECT_EQ(winIni_, ReadFile(host));
  EXPECT_TRUE(Strays(DriveC() + "/Games/ソフト表示", "KWIX.INI").empty());
  EXPECT_EQ(fs::last_write_time(DriveC() + "/windows/WIN.INI"), fs::last_write_time(host));
  ASSERT_EQ(0, Run(FO_DELETE, target, ""));
  EXPECT_FALSE(fs::exists(host));
  EXPECT_TRUE(fs::is_directory(DriveC() + "/Games/ソフト表示"));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ShellTest, ReplacesAnExistingFile) {
  WriteFile(DriveC() + "/Dest/kwix.ini", "an older and much longer file than WIN.INI ...........");
  ASSERT_EQ(0, Run(FO_COPY, "C:\\WINDOWS\\WIN.INI", "C:\\DEST\\KWIX.INI"));
  EXPECT_EQ(winIni_, ReadFile(DriveC() + "/Dest/kwix.ini"));
  EXPECT_TRUE(Strays(DriveC() + "/Dest", "kwix.ini").empty());
}

TEST_F(ShellTest, FailuresAreReportedWithPathAndReasonAndLeaveNoHalfFile) {
  struct Case {
    const char* name;
    const char* call;
    const char* pathPart;
    int errnum;
    long long diskBytes;  // -1: the disk does not fill up
  };
  const Case kCases[] = {
      {"read-only destination", "open", "/ReadOnly/", EROFS, -1},
      {"folder cannot be made", "mkdir", "ReadOnly", EROFS, -1},
      {"full disk", "", "", 0, 10},
      {"failing flush", "fsync", "/ReadOnly/", EIO, -1},
      {"failing rename", "rename", "KWIX.INI", EACCES, -1},
      {"unreadable source", "open", "WIN.INI", EIO, -1},
  };
  for (const Case& c : kCases) {
    reports_.clear();
    fs::remove_all(DriveC() + "/ReadOnly");
    if (std::string(c.call) != "mkdir") fs::create_directories(DriveC() + "/ReadOnly");
    const int expectedErrno = c.diskBytes >= 0 ? ENOSPC : c.errnum;
    {
      win32_testing::FaultyFileSystem faulty;
      if (*c.call != '\0') faulty.FailCall(c.call, c.pathPart, c.errnum);
      faulty.FillDiskAfter(c.diskBytes);
      EXPECT_NE(0, Run(FO_COPY, "C:\\WINDOWS\\WIN.INI", "C:\\ReadOnly\\KWIX.INI")) << c.name;
    }
    EXPECT_TRUE(Strays(DriveC() + "/ReadOnly", "").empty()) << c.name;
    ASSERT_EQ(1u, reports_.size()) << c.name;
    EXPECT_EQ(owner_, reports_[0].owner);
    EXPECT_FALSE(reports_[0].caption.empty());
    EXPECT_NE(std::string::npos, reports_[0].text.find("C:\\WINDOWS\\WIN.INI")) << reports_[0].text;
    EXPECT_NE(std::string::npos, reports_[0].text.find("C:\\ReadOnly\\KWIX.INI")) << reports_[0].text;
    EXPECT_NE(std::string::npos, reports_[0].text.find(std::strerror(expectedErrno)))
        << c.name << ": " << reports_[0].text;
  }
}

TEST_F(ShellTest, AFailedReplacementKeepsTheOldFile) {
  WriteFile(DriveC() + "/Keep/KWIX.INI", "old");
  win32_testing::FaultyFileSystem faulty;
  faulty.FillDiskAfter(3);
  EXPECT_NE(0, Run(FO_COPY, "C:\\WINDOWS\\WIN.INI", "C:\\Keep\\KWIX.INI"));
  EXPECT_EQ("old", ReadFile(DriveC() + "/Keep/KWIX.INI"));
  EXPECT_TRUE(Strays(DriveC() + "/Keep", "KWIX.INI").empty());
}

TEST_F(ShellTest, PathsThatCannotBeMappedAreReported) {
  const std::string kTargets[] = {"Q:\\KWIX.INI", "\\\\server\\share\\KWIX.INI",
                                  "C:\\bad\x80\\KWIX.INI", "C:\\a|b\\KWIX.INI"};
  for (const std::string& target : kTargets) {
    reports_.clear();
    EXPECT_NE(0, Run(FO_COPY, "C:\\WINDOWS\\WIN.INI", target));
    ASSERT_EQ(1u, reports_.size());
    EXPECT_NE(std::string::npos, reports_[0].text.find(win32::Cp932ForDisplay(target)))
        << reports_[0].text;
  }
}

TEST_F(ShellTest, MissingSourceAndFoldersAreRefused) {
  EXPECT_NE(0, Run(FO_COPY, "C:\\WINDOWS\\NOPE.INI", "C:\\x\\KWIX.INI"));
  fs::create_directories(DriveC() + "/Target/KWIX.INI");
  EXPECT_NE(0, Run(FO_COPY, "C:\\WINDOWS\\WIN.INI", "C:\\Target\\KWIX.INI"));
  EXPECT_TRUE(fs::is_directory(DriveC() + "/Target/KWIX.INI"));
  EXPECT_NE(0, Run(FO_DELETE, "C:\\Target", ""));
  EXPECT_TRUE(fs::is_directory(DriveC() + "/Target"));
  EXPECT_NE(0, Run(FO_DELETE, "C:\\Target\\gone.txt", ""));
  EXPECT_EQ(4u, reports_.size());
  EXPECT_NE(std::string::npos, reports_[3].text.find("C:\\Target\\gone.txt"));
}

TEST_F(ShellTest, NoErrorUiMeansNoReport) {
  EXPECT_NE(0, Run(FO_COPY, "C:\\WINDOWS\\NOPE.INI", "C:\\x\\KWIX.INI", 0x14 | FOF_NOERRORUI));
  EXPECT_NE(0, Run(FO_DELETE, "C:\\nothing", "", FOF_NOERRORUI));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ShellTest, TheDefaultReportGoesToStandardError) {
  win32::SetReportHook(nullptr);
  testing::internal::CaptureStderr();
  EXPECT_NE(0, Run(FO_DELETE, "C:\\nothing", ""));
  const std::string text = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, text.find("C:\\nothing")) << text;
  EXPECT_NE(std::string::npos, text.find("No such file")) << text;
}

}  // namespace
