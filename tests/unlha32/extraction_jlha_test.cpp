// Archives made by jlha, at every header level and with every method it writes,
// extracted through Unlha and compared byte for byte with the tree they came from.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "lzh_media.h"
#include "support/temp_home.h"
#include "unlha32/unlha32.h"
#include "win32/prefix.h"

namespace fs = std::filesystem;

namespace {

using namespace unlha32_test;

class JlhaArchives : public testing::TestWithParam<const char*> {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(win32::EnsurePrefix().ok()); }
};

std::int64_t ModifiedTime(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info.st_mtim.tv_sec;
}

TEST_P(JlhaArchives, ExtractTheWholeTreeWithItsTimes) {
  const std::string work = testing_support::MakeTempDir("jlha");
  const std::string source = work + "/source";
  const auto names = MakeSampleTree(source);
  const std::string archive = work + "/PACKAGE.LZH";
  MakeJlhaArchive(source, names, GetParam(), archive);

  ScopedRecordingUi recording;
  const std::string destination = work + "/out/Foo";
  char log[256];
  ASSERT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(work) + "\\out\\Foo\\").c_str(),
                  log, sizeof log),
            0)
      << (recording.ui.failures.empty() ? "" : unlha32::FailureText(recording.ui.failures[0]));
  EXPECT_EQ(CompareTrees(source, destination), "");
  EXPECT_TRUE(TempFilesBelow(work).empty());
  for (const auto& name : ListTree(source)) {
    EXPECT_EQ(ModifiedTime(destination + "/" + name), ModifiedTime(source + "/" + name)) << name;
  }
  std::uint64_t total = 0;
  for (const auto& name : ListTree(source)) {
    if (name.back() != '/') total += fs::file_size(source + "/" + name);
  }
  EXPECT_EQ(recording.ui.begins, 1);
  EXPECT_EQ(recording.ui.ends, 1);
  EXPECT_EQ(recording.ui.total, total);
  EXPECT_EQ(recording.ui.lastDone, total);
  EXPECT_TRUE(recording.ui.failures.empty());
  EXPECT_NE(std::string(log).find("7"), std::string::npos) << log;  // seven files
}

INSTANTIATE_TEST_SUITE_P(EveryLevelAndMethod, JlhaArchives,
                         testing::Values("0o5", "0o6", "0o7", "0z", "1o5", "1o6", "1o7", "1z",
                                         "2o5", "2o6", "2o7", "2z"));

class JlhaExtraction : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(win32::EnsurePrefix().ok()); }
  void SetUp() override {
    work = testing_support::MakeTempDir("jlha-one");
    source = work + "/source";
    names = MakeSampleTree(source);
    archive = work + "/PACKAGE.LZH";
    MakeJlhaArchive(source, names, "2o5", archive);
  }
  std::string work, source, archive;
  std::vector<std::string> names;
};

TEST_F(JlhaExtraction, IntoTheProgramFilesFolderOfThePrefixCreatingParents) {
  ScopedRecordingUi recording;
  const std::string command = ExtractCommand(
      WindowsPath(archive), "C:\\Program Files\\Korvane\\Tavolin\\\x83\x5C\x95\x5C Foo\\");
  ASSERT_EQ(Unlha(nullptr, command.c_str(), nullptr, 0), 0);
  const std::string destination =
      win32::PrefixLocation() + "/drive_c/Program Files/Korvane/Tavolin/ソ表 Foo";
  EXPECT_EQ(CompareTrees(source, destination), "");
}

TEST_F(JlhaExtraction, ReplacesExistingFilesWholeKeepingTheirNames) {
  const std::string destination = work + "/out";
  testing_support::WriteFile(destination + "/readme.txt", "old contents, longer than the new ones\n");
  testing_support::WriteFile(destination + "/keep.me", "mine");
  ScopedRecordingUi recording;
  ASSERT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(destination)).c_str(),
                  nullptr, 0),
            0);
  // As on Windows, README.TXT of the archive lands on the existing readme.txt.
  EXPECT_EQ(testing_support::ReadFile(destination + "/readme.txt"), "Read me first.\r\n");
  EXPECT_FALSE(fs::exists(destination + "/README.TXT"));
  EXPECT_EQ(testing_support::ReadFile(destination + "/keep.me"), "mine");
}

TEST_F(JlhaExtraction, JoinedVolumesExtractAndAMissingVolumeFails) {
  // The installer joins numbered volumes byte for byte; a volume left out (it is
  // skipped silently when it cannot be read) must not pass for a whole archive.
  ASSERT_EQ(std::system(("cd '" + work + "' && split -n 3 -d -a 3 PACKAGE.LZH part.").c_str()), 0);
  ASSERT_EQ(std::system(("cd '" + work + "' && cat part.000 part.001 part.002 > JOINED.LZH && "
                         "cat part.000 part.001 > FIRST2.LZH && cat part.000 part.002 > GAP.LZH")
                            .c_str()),
            0);
  ScopedRecordingUi recording;
  EXPECT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(work + "/JOINED.LZH"), WindowsPath(work + "/joined")).c_str(), nullptr, 0), 0);
  EXPECT_EQ(CompareTrees(source, work + "/joined"), "");
  for (const char* broken : {"FIRST2.LZH", "GAP.LZH"}) {
    const std::string out = work + "/out-" + broken;
    EXPECT_NE(Unlha(nullptr, ExtractCommand(WindowsPath(work + "/" + broken), WindowsPath(out)).c_str(), nullptr, 0), 0) << broken;
    EXPECT_TRUE(TempFilesBelow(work).empty());
  }
}

TEST_F(JlhaExtraction, CancelStopsCleanly) {
  for (const int cancelAfter : {0, 1, 3}) {
    ScopedRecordingUi recording;
    recording.ui.cancelAfter = cancelAfter;
    const std::string destination = work + "/cancel-" + std::to_string(cancelAfter);
    EXPECT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(destination)).c_str(),
                    nullptr, 0),
              ERROR_USER_CANCEL);
    EXPECT_TRUE(TempFilesBelow(work).empty());
    EXPECT_EQ(recording.ui.ends, 1);
    // A cancel is the user's own choice; it is not reported back in a box.
    EXPECT_TRUE(recording.ui.failures.empty());
    if (cancelAfter == 0) {
      EXPECT_FALSE(fs::exists(destination));
    }
    // Whatever was finished before the cancel is whole.
    for (const auto& name : ListTree(destination)) {
      if (name.back() == '/') continue;
      EXPECT_EQ(testing_support::ReadFile(destination + "/" + name),
                testing_support::ReadFile(source + "/" + name))
          << name;
    }
  }
}

}  // namespace
