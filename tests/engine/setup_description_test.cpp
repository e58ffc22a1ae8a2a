#include "engine/setup_description.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "support/temp_home.h"

namespace {

struct Case {
  const char* what;
  std::string fileBytes;  // as stored on disk; the reading drops CR and stops at 0x1A
  std::string name;
  std::int32_t count;
  bool outOfRange = false;
};

const std::string k259(259, 'N');
const std::string k300(300, 'L');

class SetupDescriptionFile : public testing::TestWithParam<Case> {};

// Each case goes through the real file in text mode, so the CR and 0x1A rules of
// the reading are tested together with the parse.
TEST_P(SetupDescriptionFile, ReadsNameAndCount) {
  const Case& c = GetParam();
  const std::string dir = testing_support::MakeTempDir("setupdat");
  testing_support::WriteFile(dir + "/Setup.dat", c.fileBytes);
  ASSERT_EQ(chdir(dir.c_str()), 0);

  const engine::SetupDescription d = engine::ReadSetupDescription("Setup.dat");
  EXPECT_EQ(d.PackageName, c.name);
  EXPECT_EQ(d.VolumeCount, c.count);
  EXPECT_EQ(d.CountOutOfRange, c.outOfRange);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupDescriptionFile,
    testing::Values(
        Case{"lf", "Foo\n3\n", "Foo", 3},
        Case{"crlf", "Foo\r\n3\r\n", "Foo", 3},
        Case{"cr inside the name is removed", "Fo\ro\n2\n", "Foo", 2},
        Case{"name only without line end", "Foo", "Foo", 0},
        Case{"blanks are kept", " Foo \t\n1", " Foo \t", 1},
        Case{"japanese name", "\x83\x5C\x83\x74\x83\x67\n2\n", "\x83\x5C\x83\x74\x83\x67", 2},
        Case{"empty file", "", "", 0},
        Case{"empty first line", "\n\n  7\n", "", 7},
        Case{"259 bytes then lf", k259 + "\n5\n", k259, 5},
        Case{"longer line is cut at 259 bytes", k300 + "\n5\n", std::string(259, 'L'), 0},
        Case{"number right after the cut", k259 + "  12 rest\n5\n", k259, 12},
        Case{"ctrl-z ends the name", "Fo\x1Ao\n3\n", "Fo", 0},
        Case{"ctrl-z before the count", "Foo\n\x1A" "3\n", "Foo", 0},
        Case{"minus one", "Foo\n-1\n", "Foo", -1},
        Case{"plus sign", "Foo\n+4\n", "Foo", 4},
        Case{"blanks and empty lines before", "Foo\n \t\n\v\f  9", "Foo", 9},
        Case{"word after the number", "Foo\n3 disks\n", "Foo", 3},
        Case{"sign without digit", "Foo\n- 3\n", "Foo", 0},
        Case{"letter first", "Foo\nx3\n", "Foo", 0},
        Case{"int max", "Foo\n2147483647\n", "Foo", INT32_MAX},
        Case{"int min", "Foo\n-2147483648\n", "Foo", INT32_MIN},
        Case{"one above int max", "Foo\n2147483648\n", "Foo", INT32_MIN, true},
        Case{"far beyond the range", "Foo\n99999999999999999999999\n", "Foo", INT32_MIN, true},
        Case{"nul inside the name ends it", std::string("Fo\0o\n3\n", 7), "Fo", 3}),
    [](const testing::TestParamInfo<Case>& info) {
      std::string name = info.param.what;
      for (char& ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST(SetupDescription, MissingFileGivesTheDefaults) {
  ASSERT_EQ(chdir(testing_support::MakeTempDir("nosetupdat").c_str()), 0);
  const engine::SetupDescription d = engine::ReadSetupDescription("Setup.dat");
  EXPECT_EQ(d.PackageName, "");
  EXPECT_EQ(d.VolumeCount, 0);
}

TEST(SetupDescription, FolderOfThatNameGivesTheDefaults) {
  const std::string dir = testing_support::MakeTempDir("setupdatdir");
  testing_support::WriteFile(dir + "/Setup.dat/inner", "Foo\n3\n");
  ASSERT_EQ(chdir(dir.c_str()), 0);
  const engine::SetupDescription d = engine::ReadSetupDescription("Setup.dat");
  EXPECT_EQ(d.PackageName, "");
  EXPECT_EQ(d.VolumeCount, 0);
}

TEST(SetupDescription, LongCountAfterMuchWhiteSpaceIsStillRead) {
  const std::string bytes = "Foo\n" + std::string(100000, ' ') + "42";
  EXPECT_EQ(engine::ParseSetupDescription(bytes).VolumeCount, 42);
}

}  // namespace

namespace {

TEST(PackageName, OnlyFolderNamesAreUsable) {
  const struct {
    std::string name;
    bool usable;
  } cases[] = {
      {"Foo", true},
      {"\x83\x5E\x83\x94\x83\x48\x83\x8A\x83\x93", true},  // タヴォリン
      {"\x83\x5C\x83\x74\x83\x67", true},                  // ソフト: 0x5C only as a second byte
      {" Foo ", true},
      {"..", false},
      {".", false},
      {"a\\b", false},
      {"a/b", false},
      {"C:x", false},
      {"a\tb", false},
      {"\x83", false},      // a lead byte alone
      {"\xFF\xFE", false},  // no CP932 at all
  };
  for (const auto& c : cases) {
    EXPECT_EQ(engine::IsUsablePackageName(c.name), c.usable) << c.name;
  }
}

}  // namespace
