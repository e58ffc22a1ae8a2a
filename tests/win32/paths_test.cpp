#include "win32/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_home.h"
#include "win32/codepage.h"
#include "win32/faulty_file_system.h"
#include "win32/filesystem.h"
#include "win32/fresh_prefix.h"

namespace {

namespace fs = std::filesystem;
using testing_support::WriteFile;
using win32::Ansi;
using win32::Expected;
using win32::ToHostPath;
using win32::ToWindowsPath;
using win32_testing::FreshPrefixTest;
using win32_testing::ScopedCurrentDirectory;

std::string Canonical(const std::string& path) { return fs::canonical(path).string(); }

class PathsTest : public FreshPrefixTest {
 protected:
  void SetUp() override {
    FreshPrefixTest::SetUp();
    c_ = Canonical(DriveC());
    WriteFile(c_ + "/Korvane/Tavolin/Setup.dat", "x\n");
    WriteFile(c_ + "/Korvane/readme.txt", "r");
    WriteFile(c_ + "/" + "ソフト表示/能力.txt", "j");
    fs::create_directories(c_ + "/Program Files/Common Files");
    cdrom_ = Canonical(testing_support::MakeTempDir("cdrom"));
    WriteFile(cdrom_ + "/SETUP.DAT", "y\n");
    fs::create_symlink(cdrom_, prefix_ + "/dosdevices/d:");
  }

  std::string c_;      // the host folder of drive C:
  std::string cdrom_;  // the host folder of the user-added drive D:
};

TEST_F(PathsTest, MapsWindowsPathsToHostPaths) {
  struct Case {
    std::string windows;
    std::string host;  // below drive C: unless it starts with "/"
  };
  const Case kCases[] = {
      {"C:\\", ""},
      {"c:\\", ""},
      {"C:", ""},
      {"C:\\windows\\WIN.INI", "/windows/WIN.INI"},
      {"C:\\WINDOWS\\win.ini", "/windows/WIN.INI"},
      {"c:/Windows/Temp/", "/windows/temp"},
      {"C:\\WINDOWS\\TEMP\\TAVOTEMP.LZH", "/windows/temp/TAVOTEMP.LZH"},
      {"C:\\korvane\\TAVOLIN\\setup.DAT", "/Korvane/Tavolin/Setup.dat"},
      {"C:\\Korvane\\New Folder\\Sub\\file.txt", "/Korvane/New Folder/Sub/file.txt"},
      {"C:\\Korvane\\\\Tavolin", "/Korvane/Tavolin"},
      {"C:\\.\\Korvane\\.\\readme.txt", "/Korvane/readme.txt"},
      {"C:\\Korvane\\Tavolin\\..\\readme.txt", "/Korvane/readme.txt"},
      {"C:\\..\\..\\windows", "/windows"},
      {"C:\\Korvane\\..\\..\\..\\dosdevices", "/dosdevices"},
      {"C:\\Missing\\..\\Korvane", "/Korvane"},
      {"C:\\Korvane\\Trailing. . ", "/Korvane/Trailing"},
      {"C:\\PROGRA~1", "/Program Files"},
      {"C:\\progra~1\\COMMON~1", "/Program Files/Common Files"},
      {"C:\\" + Ansi("ソフト表示") + "\\" + Ansi("能力.TXT"), "/ソフト表示/能力.txt"},
      {"C:\\" + Ansi("ソ") + "\\" + Ansi("表"), "/ソ/表"},
      {"D:\\setup.dat", cdrom_ + "/SETUP.DAT"},
      {"d:\\", cdrom_},
      {"Z:\\", "/"},
      {"z:\\" + c_.substr(1) + "\\windows", c_ + "/windows"},
  };
  for (const Case& c : kCases) {
    Expected<std::string> host = ToHostPath(c.windows);
    ASSERT_TRUE(host.ok()) << win32::Cp932ForDisplay(c.windows) << ": " << host.error().reason;
    const std::string expected = !c.host.empty() && c.host[0] == '/' && c.host.rfind(c_, 0) != 0 &&
                                         c.host.rfind(cdrom_, 0) != 0 && c.host != "/"
                                     ? c_ + c.host
                                     : (c.host.empty() ? c_ : c.host);
    EXPECT_EQ(expected, *host) << win32::Cp932ForDisplay(c.windows);
  }
}

TEST_F(PathsTest, MapsRelativePathsAgainstTheCurrentFolder) {
  ScopedCurrentDirectory cwd(c_ + "/Korvane");
  struct Case {
    std::string windows;
    std::string host;
  };
  const Case kCases[] = {
      {"readme.txt", c_ + "/Korvane/readme.txt"},
      {"TAVOLIN\\SETUP.DAT", c_ + "/Korvane/Tavolin/Setup.dat"},
      {".\\Tavolin", c_ + "/Korvane/Tavolin"},
      {"..\\windows", c_ + "/windows"},
      {"..\\..\\..\\..\\windows", c_ + "/windows"},
      {"\\windows\\WIN.INI", c_ + "/windows/WIN.INI"},
      {"/windows", c_ + "/windows"},
      {"C:README.TXT", c_ + "/Korvane/readme.txt"},
      {"D:setup.dat", cdrom_ + "/SETUP.DAT"},
      {"new.txt", c_ + "/Korvane/new.txt"},
  };
  for (const Case& c : kCases) {
    Expected<std::string> host = ToHostPath(c.windows);
    ASSERT_TRUE(host.ok()) << c.windows << ": " << host.error().reason;
    EXPECT_EQ(c.host, *host) << c.windows;
  }
}

TEST_F(PathsTest, RelativePathsOnDriveZ) {
  const std::string folder = Canonical(testing_support::MakeTempDir("z"));
  WriteFile(folder + "/Setup.dat", "z");
  ScopedCurrentDirectory cwd(folder);
  Expected<std::string> host = ToHostPath("SETUP.DAT");
  ASSERT_TRUE(host.ok()) << host.error().reason;
  EXPECT_EQ(folder + "/Setup.dat", *host);
  Expected<std::string> root = ToHostPath("\\tmp");
  ASSERT_TRUE(root.ok());
  EXPECT_EQ("/tmp", *root);
}

TEST_F(PathsTest, RelativePathsFailWhenTheCurrentFolderIsGone) {
  const std::string gone = testing_support::MakeTempDir("gone");
  ScopedCurrentDirectory cwd(gone);
  fs::remove(gone);
  for (const char* path : {"Setup.dat", "\\windows", "..\\x"}) {
    Expected<std::string> host = ToHostPath(path);
    ASSERT_FALSE(host.ok()) << path << " gave " << *host;
    EXPECT_NE(std::string::npos, host.error().reason.find("current folder")) << host.error().reason;
  }
  EXPECT_TRUE(ToHostPath("C:\\windows").ok());
}

TEST_F(PathsTest, RefusesPathsItCannotMap) {
  struct Case {
    std::string windows;
    const char* reasonPart;
  };
  const Case kCases[] = {
      {"", "empty"},
      {"\\\\server\\share\\file", "UNC"},
      {"//server/share", "UNC"},
      {"Q:\\foo", "no drive Q:"},
      {"q:foo", "no drive Q:"},
      {"C:\\bad\x80name", "\\x80"},
      {"C:\\bad\x81\x20name", "\\x81"},
      {"C:\\end\x83", "\\x83"},
      {"C:\\a:b", "character"},
      {"C:\\what?", "character"},
      {"C:\\tab\there", "character"},
      {"C:\\...\\x", "empty"},
  };
  for (const Case& c : kCases) {
    Expected<std::string> host = ToHostPath(c.windows);
    ASSERT_FALSE(host.ok()) << win32::Cp932ForDisplay(c.windows) << " gave " << *host;
    EXPECT_NE(std::string::npos, host.error().reason.find(c.reasonPart))
        << win32::Cp932ForDisplay(c.windows) << ": " << host.error().reason;
  }
}

TEST_F(PathsTest, ADriveWhoseTargetIsGoneIsNotReady) {
  fs::create_symlink(prefix_ + "/nowhere", prefix_ + "/dosdevices/e:");
  Expected<std::string> host = ToHostPath("E:\\x");
  ASSERT_FALSE(host.ok());
  EXPECT_NE(std::string::npos, host.error().reason.find("not ready")) << host.error().reason;
}

TEST_F(PathsTest, AnUpperCaseDriveLinkWorksToo) {
  fs::create_symlink(cdrom_, prefix_ + "/dosdevices/F:");
  Expected<std::string> host = ToHostPath("f:\\Setup.Dat");
  ASSERT_TRUE(host.ok()) << host.error().reason;
  EXPECT_EQ(cdrom_ + "/SETUP.DAT", *host);
}

TEST_F(PathsTest, MapsHostPathsToWindowsPaths) {
  const std::string deeper = cdrom_ + "/sub";
  fs::create_directories(deeper);
  struct Case {
    std::string host;
    std::string windows;
  };
  const Case kCases[] = {
      {c_, "C:\\"},
      {c_ + "/windows", "C:\\windows"},
      {c_ + "/windows/", "C:\\windows"},
      {prefix_ + "/dosdevices/c:/windows/WIN.INI", "C:\\windows\\WIN.INI"},
      {c_ + "/not/yet/there.txt", "C:\\not\\yet\\there.txt"},
      {c_ + "/ソフト表示/能力.txt", "C:\\" + Ansi("ソフト表示") + "\\" + Ansi("能力.txt")},
      {deeper, "D:\\sub"},
      {"/", "Z:\\"},
      {"/usr/bin", "Z:\\usr\\bin"},
  };
  for (const Case& c : kCases) {
    Expected<std::string> windows = ToWindowsPath(c.host);
    ASSERT_TRUE(windows.ok()) << c.host << ": " << windows.error().reason;
    EXPECT_EQ(c.windows, *windows) << c.host;
  }
}

TEST_F(PathsTest, RefusesHostNamesCp932CannotHold) {
  for (const std::string& name : std::vector<std::string>{"한국어", "euro€", "bad\xFFutf8"}) {
    Expected<std::string> windows = ToWindowsPath(c_ + "/" + name + "/x");
    EXPECT_FALSE(windows.ok()) << name;
    if (!windows) {
      EXPECT_NE(std::string::npos, windows.error().reason.find("code page 932"));
    }
  }
}

TEST_F(PathsTest, WindowsPathsComeBack) {
  const std::vector<std::string> kPaths = {
      "C:\\windows\\WIN.INI", "C:\\Korvane\\Tavolin\\Setup.dat",
      "C:\\" + Ansi("ソフト表示") + "\\" + Ansi("能力.txt"), "D:\\SETUP.DAT"};
  for (const std::string& windows : kPaths) {
    Expected<std::string> host = ToHostPath(windows);
    ASSERT_TRUE(host.ok());
    Expected<std::string> back = ToWindowsPath(*host);
    ASSERT_TRUE(back.ok()) << back.error().reason;
    EXPECT_EQ(windows, *back);
  }
}

class ShortNamesTest : public PathsTest {};

TEST_F(ShortNamesTest, GivesDeterministicShortNamesThatResolveBack) {
  const std::string dir = c_ + "/Short";
  for (const char* name : {"longfilename.html", "longfilename2.html", "a+b;c.txt", "README.TXT",
                           "lower.txt", "two.dots.tar.gz", "My Documents", ".hidden",
                           "PROGRA~1", "Program Files", "ソフトウェア開発.text",
                           "aソフトウェア.txt", "ｾｯﾄｱｯﾌﾟﾌﾟﾛｸﾞﾗﾑ.ini", "x.ソフトウェア"}) {
    WriteFile(dir + "/" + name, "s");
  }
  struct Case {
    std::string longName;
    std::string shortName;
  };
  const Case kCases[] = {
      {"longfilename.html", "LONGFI~1.HTM"},
      {"longfilename2.html", "LONGFI~2.HTM"},
      {"a+b;c.txt", "A_B_C~1.TXT"},
      {"README.TXT", "README.TXT"},
      {"lower.txt", "lower.txt"},
      {"two.dots.tar.gz", "TWODOT~1.GZ"},
      {"My Documents", "MYDOCU~1"},
      {".hidden", "HIDDEN~1"},
      {"PROGRA~1", "PROGRA~1"},
      {"Program Files", "PROGRA~2"},
      {Ansi("ソフトウェア開発.text"), Ansi("ソフト~1.TEX")},
      {Ansi("aソフトウェア.txt"), Ansi("Aソフ~1.TXT")},
      {Ansi("ｾｯﾄｱｯﾌﾟﾌﾟﾛｸﾞﾗﾑ.ini"), Ansi("ｾｯﾄｱｯﾌ~1.INI")},
      {Ansi("x.ソフトウェア"), Ansi("X~1.ソ")},  // the extension ends with a 0x5C second byte
  };
  for (const Case& c : kCases) {
    const std::string longPath = "C:\\Short\\" + c.longName;
    Expected<std::string> shortPath = win32::ShortPathName(longPath);
    ASSERT_TRUE(shortPath.ok()) << win32::Cp932ForDisplay(longPath) << ": "
                                << shortPath.error().reason;
    EXPECT_EQ("C:\\Short\\" + c.shortName, *shortPath) << win32::Cp932ForDisplay(c.longName);
    EXPECT_TRUE(win32::Cp932ToUtf8(*shortPath).ok());
    Expected<std::string> viaShort = ToHostPath(*shortPath);
    Expected<std::string> viaLong = ToHostPath(longPath);
    ASSERT_TRUE(viaShort.ok() && viaLong.ok());
    EXPECT_EQ(*viaLong, *viaShort) << win32::Cp932ForDisplay(*shortPath);
    // The same again gives the same name.
    EXPECT_EQ(*shortPath, *win32::ShortPathName(longPath));
  }
}

TEST_F(ShortNamesTest, ShortensEveryComponent) {
  WriteFile(c_ + "/Program Files/Korvane Software/Tavolin Game.exe", "e");
  Expected<std::string> shortPath =
      win32::ShortPathName("c:\\program files\\korvane software\\tavolin game.exe");
  ASSERT_TRUE(shortPath.ok()) << shortPath.error().reason;
  EXPECT_EQ("C:\\PROGRA~1\\KORVAN~1\\TAVOLI~1.EXE", *shortPath);
  EXPECT_EQ("C:\\windows\\", *win32::ShortPathName("C:\\WINDOWS\\"));
  EXPECT_EQ(c_ + "/Program Files/Korvane Software/Tavolin Game.exe", *ToHostPath(*shortPath));
}

TEST_F(ShortNamesTest, MissingPathsHaveNoShortName) {
  EXPECT_FALSE(win32::ShortPathName("C:\\Program Files\\Nothing Here").ok());
  EXPECT_FALSE(win32::ShortPathName("Q:\\").ok());
}

TEST_F(PathsTest, SkipsHostNamesThatAreNoUtf8) {
  const std::string dir = c_ + "/Mixed";
  WriteFile(dir + "/bad\xFF\xFE.txt", "b");
  WriteFile(dir + "/Good File.txt", "g");
  Expected<std::string> host = ToHostPath("C:\\Mixed\\GOOD FILE.TXT");
  ASSERT_TRUE(host.ok());
  EXPECT_EQ(dir + "/Good File.txt", *host);
  Expected<std::string> shortPath = win32::ShortPathName("C:\\Mixed\\Good File.txt");
  ASSERT_TRUE(shortPath.ok()) << shortPath.error().reason;
  EXPECT_EQ("C:\\Mixed\\GOODFI~1.TXT", *shortPath);
}

class ListingCacheTest : public PathsTest {};

TEST_F(ListingCacheTest, CreatingManyFilesReadsTheFolderOnce) {
  const std::string dir = c_ + "/Many";
  fs::create_directories(dir);
  for (int i = 0; i < 20; ++i) WriteFile(dir + "/old" + std::to_string(i) + ".txt", "o");
  win32::ForgetCachedListings();
  win32_testing::FaultyFileSystem counting;
  const std::size_t before = win32::ListingScanCount();
  for (int i = 0; i < 500; ++i) {
    const std::string name = "File" + std::to_string(i) + ".TXT";
    Expected<std::string> host = ToHostPath("C:\\MANY\\" + name);
    ASSERT_TRUE(host.ok());
    const int fd = win32::Fs().Open(host->c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0) << *host;
    win32::Fs().Close(fd);
    // The new file is found again in another spelling, from the cache.
    Expected<std::string> again = ToHostPath("c:\\many\\file" + std::to_string(i) + ".txt");
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(*host, *again);
  }
  EXPECT_LE(win32::ListingScanCount() - before, 2u);
  EXPECT_LE(counting.list_calls(), 2);
}

TEST_F(ListingCacheTest, RemovalsAndRenamesThroughTheSeamAreSeen) {
  const std::string dir = c_ + "/Moves";
  WriteFile(dir + "/First.txt", "1");
  EXPECT_EQ(dir + "/First.txt", *ToHostPath("C:\\Moves\\FIRST.TXT"));
  ASSERT_EQ(0, win32::Fs().Rename((dir + "/First.txt").c_str(), (dir + "/Second.txt").c_str()));
  EXPECT_EQ(dir + "/Second.txt", *ToHostPath("C:\\Moves\\SECOND.TXT"));
  EXPECT_EQ(dir + "/FIRST.TXT", *ToHostPath("C:\\Moves\\FIRST.TXT"));
  ASSERT_EQ(0, win32::Fs().Unlink((dir + "/Second.txt").c_str()));
  EXPECT_EQ(dir + "/SECOND.TXT", *ToHostPath("C:\\Moves\\SECOND.TXT"));
}

TEST_F(ListingCacheTest, ChangesBehindTheLayerAreSeenWhenNoted) {
  const std::string dir = c_ + "/Outside";
  WriteFile(dir + "/a.txt", "a");
  EXPECT_EQ(dir + "/B.TXT", *ToHostPath("C:\\Outside\\B.TXT"));
  WriteFile(dir + "/b.txt", "b");
  win32::NoteHostEntryChanged(dir + "/b.txt");
  EXPECT_EQ(dir + "/b.txt", *ToHostPath("C:\\Outside\\B.TXT"));
}

TEST_F(ListingCacheTest, AFolderChangedBehindTheLayerIsReadAgain) {
  const std::string dir = c_ + "/Behind";
  WriteFile(dir + "/a.txt", "a");
  EXPECT_EQ(dir + "/B.TXT", *ToHostPath("C:\\Behind\\B.TXT"));
  WriteFile(dir + "/b.txt", "b");
  // Another program's change moves the folder's time; set it apart explicitly so
  // that the test does not hang on the clock's granularity.
  const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, dir.c_str(), times, 0));
  const std::size_t before = win32::ListingScanCount();
  EXPECT_EQ(dir + "/b.txt", *ToHostPath("C:\\Behind\\B.TXT"));
  EXPECT_EQ(before + 1, win32::ListingScanCount());
}

}  // namespace
