// Archives crafted byte by byte (tools/craft_lzh.py): hostile names, links,
// damaged data and headers, cut archives, unknown methods and absurd sizes. Each
// fails with its own result, says why, and leaves nothing behind.
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

class CraftedArchives : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(win32::EnsurePrefix().ok()); }

  // Crafts spec, extracts it into a fresh folder, and returns the result.
  int Extract(const std::string& spec) {
    work = testing_support::MakeTempDir("crafted");
    archive = work + "/CRAFTED.LZH";
    destination = work + "/out";
    CraftArchive(spec, archive);
    testing_support::WriteFile(work + "/x", "outside");
    before = ListTree(work);
    recording.reset();
    recording = std::make_unique<ScopedRecordingUi>();
    return Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(destination) + "\\").c_str(),
                 nullptr, 0);
  }

  // Nothing appeared or changed outside the destination; no temporary file stayed.
  void ExpectNothingOutside() {
    auto after = ListTree(work);
    std::erase_if(after, [](const std::string& n) { return n.rfind("out/", 0) == 0; });
    auto expected = before;
    std::erase_if(expected, [](const std::string& n) { return n.rfind("out/", 0) == 0; });
    EXPECT_EQ(after, expected);
    EXPECT_EQ(testing_support::ReadFile(work + "/x"), "outside");
    EXPECT_TRUE(TempFilesBelow(work).empty());
    EXPECT_FALSE(fs::exists("/abs"));
  }

  const unlha32::Failure& OnlyFailure() {
    EXPECT_EQ(recording->ui.failures.size(), 1u);
    static const unlha32::Failure none{};
    return recording->ui.failures.empty() ? none : recording->ui.failures[0];
  }

  std::string work, archive, destination;
  std::vector<std::string> before;
  std::unique_ptr<ScopedRecordingUi> recording;
};

struct RefusedCase {
  const char* label;
  const char* spec;
  int result;
  const char* inReason;  // a text the reason must contain, or ""
};

// Every one of these is refused while the archive is examined, before the
// destination is even created.
const RefusedCase kRefusedBeforeWriting[] = {
    {"backslash climb, level 0", R"({"entries":[{"path":"ok.txt","data":"fine"},{"path":"..\\x","level":0,"data":"evil"}]})", ERROR_UNSAFE_NAME, ".."},
    {"slash climb, level 2", R"({"entries":[{"path":"../x","raw_name":true,"data":"evil"}]})", ERROR_UNSAFE_NAME, ".."},
    {"backslash climb in a level 2 file name", R"({"entries":[{"path":"a\\..\\..\\x","raw_name":true,"data":"evil"}]})", ERROR_UNSAFE_NAME, ".."},
    {"climb through folder names, level 1", R"({"entries":[{"path":"a\\..\\..\\x","level":1,"data":"evil"}]})", ERROR_UNSAFE_NAME, ".."},
    {"absolute", R"({"entries":[{"path":"/abs","raw_name":true,"data":"evil"}]})", ERROR_UNSAFE_NAME, ""},
    {"absolute with backslash, level 0", R"({"entries":[{"path":"\\abs","level":0,"data":"evil"}]})", ERROR_UNSAFE_NAME, ""},
    {"drive letter", R"({"entries":[{"path":"C:\\x","level":0,"data":"evil"}]})", ERROR_UNSAFE_NAME, ""},
    {"drive letter, level 2", R"({"entries":[{"path":"C:x","raw_name":true,"data":"evil"}]})", ERROR_UNSAFE_NAME, ""},
    {"symbolic link", R"({"entries":[{"path":"link","symlink":"/etc"}]})", ERROR_UNSAFE_NAME, "リンク"},
    {"symbolic link, level 1", R"({"entries":[{"path":"link","level":1,"symlink":"../x"}]})", ERROR_UNSAFE_NAME, "リンク"},
    {"method lh1", R"({"entries":[{"path":"a","method":"-lh1-","data":"zz"}]})", ERROR_METHOD, "-lh1-"},
    {"method lh4", R"({"entries":[{"path":"a","level":1,"method":"-lh4-","data":"zz"}]})", ERROR_METHOD, "-lh4-"},
    {"method lzs", R"({"entries":[{"path":"a","level":0,"method":"-lzs-","data":"zz"}]})", ERROR_METHOD, "-lzs-"},
    {"method lz5", R"({"entries":[{"path":"a","level":0,"method":"-lz5-","data":"zz"}]})", ERROR_METHOD, "-lz5-"},
    {"method pm0 after a good entry", R"({"entries":[{"path":"ok","data":"fine"},{"path":"a","method":"-pm0-","data":"zz"}]})", ERROR_METHOD, "-pm0-"},
    {"method lhx", R"({"entries":[{"path":"a","method":"-lhx-","data":"zz"}]})", ERROR_METHOD, "-lhx-"},
    {"declared size beyond any disk", R"({"entries":[{"path":"big","data":"tiny","large_size":[4,1125899906842624]}]})", ERROR_DISK_SPACE, ""},
    {"level 0 header sum", R"({"entries":[{"path":"a","level":0,"data":"abc","header_sum":1}]})", ERROR_HEADER_BROKEN, ""},
    {"level 1 header sum", R"({"entries":[{"path":"a","level":1,"data":"abc","header_sum":1}]})", ERROR_HEADER_BROKEN, ""},
    {"name not CP932", R"({"entries":[{"path_hex":"81ff41","level":0,"data":"abc"}]})", ERROR_HEADER_BROKEN, ""},
    {"no end mark", R"({"entries":[{"path":"a","data":"abc"}],"end_mark":false})", ERROR_EOF, ""},
    {"cut inside the data", R"({"entries":[{"path":"a","data":"abcdefgh"}],"truncate":-4})", ERROR_EOF, ""},
    {"cut inside a header", R"({"entries":[{"path":"a","data":"abc"},{"path":"b","data":"abc"}],"truncate":-12})", ERROR_EOF, ""},
    {"garbage after the entries", R"({"entries":[{"path":"a","data":"abc"}],"end_mark":false,"append_hex":"414243444546474849404142434445464748494041424344454647"})", ERROR_HEADER_BROKEN, ""},
    // Sizes that would move the next header backwards or nowhere (a header loop).
    {"level 1 extended headers larger than the entry", R"({"entries":[{"path":"a","level":1,"data":"abc","skip_size":0},{"path":"b","data":"abc"}]})", ERROR_HEADER_BROKEN, ""},
    {"negative 64-bit compressed size", R"({"entries":[{"path":"a","data":"abc","large_size":[18446744073709551576,3]},{"path":"b","data":"abc"}]})", ERROR_HEADER_BROKEN, ""},
    {"level 3 header claiming 3 GB", R"({"entries":[{"path":"a","level":3,"data":"abc","header_size":3334915782}]})", ERROR_EOF, ""},
    {"compressed size beyond the file", R"({"entries":[{"path":"a","data":"abc","large_size":[9223372036854775807,3]},{"path":"b","data":"abc"}]})", ERROR_EOF, ""},
    {"not an archive", R"({"entries":[],"end_mark":false,"append_hex":"48656c6c6f2c20776f726c64210a48656c6c6f2c20776f726c64210a"})", ERROR_NOT_ARC_FILE, ""},
    {"empty file", R"({"entries":[],"end_mark":false})", ERROR_NOT_ARC_FILE, ""},
};

TEST_F(CraftedArchives, AreRefusedBeforeAnythingIsWritten) {
  for (const auto& c : kRefusedBeforeWriting) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Extract(c.spec), c.result);
    const auto& failure = OnlyFailure();
    EXPECT_EQ(failure.result, c.result);
    EXPECT_NE(failure.reason.find(c.inReason), std::string::npos) << failure.reason;
    EXPECT_NE(failure.archive.find("CRAFTED.LZH"), std::string::npos);
    EXPECT_FALSE(fs::exists(destination));
    EXPECT_EQ(recording->ui.begins, 0);
    ExpectNothingOutside();
  }
}

// These are found only while the data is read; the files before them are whole,
// the damaged one is not left behind, and an existing file of its name is untouched.
const RefusedCase kRefusedWhileWriting[] = {
    {"flipped byte, level 0", R"({"entries":[{"path":"good","data":"good"},{"path":"victim","level":0,"data":"0123456789"}],"flip":[{"entry":1,"offset":3}]})", ERROR_FILE_CRC, "CRC"},
    {"flipped byte, level 1", R"({"entries":[{"path":"good","data":"good"},{"path":"victim","level":1,"data":"0123456789"}],"flip":[{"entry":1,"offset":3}]})", ERROR_FILE_CRC, "CRC"},
    {"flipped byte, level 2", R"({"entries":[{"path":"good","data":"good"},{"path":"victim","level":2,"data":"0123456789"}],"flip":[{"entry":1,"offset":0}]})", ERROR_FILE_CRC, ""},
    {"flipped byte, level 3", R"({"entries":[{"path":"good","data":"good"},{"path":"victim","level":3,"data":"0123456789"}],"flip":[{"entry":1,"offset":9}]})", ERROR_FILE_CRC, ""},
    {"wrong CRC, level 0", R"({"entries":[{"path":"good","data":"good"},{"path":"victim","level":0,"data":"0123456789","crc":4660}]})", ERROR_FILE_CRC, "CRC"},
    {"declared shorter than stored", R"({"entries":[{"path":"good","data":"good"},{"path":"victim","level":0,"data":"0123456789","orig_size":5}]})", ERROR_FILE_CRC, ""},
    {"declared longer than stored", R"({"entries":[{"path":"good","data":"good"},{"path":"victim","level":2,"data":"0123456789","orig_size":50}]})", ERROR_FILE_CRC, ""},
};

TEST_F(CraftedArchives, DamagedDataLeavesNoHalfFile) {
  for (const auto& c : kRefusedWhileWriting) {
    SCOPED_TRACE(c.label);
    work = testing_support::MakeTempDir("damaged");
    archive = work + "/CRAFTED.LZH";
    destination = work + "/out";
    CraftArchive(c.spec, archive);
    testing_support::WriteFile(destination + "/victim", "previous version");
    before = ListTree(work);
    recording.reset();
    recording = std::make_unique<ScopedRecordingUi>();
    EXPECT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(destination)).c_str(),
                    nullptr, 0),
              c.result);
    const auto& failure = OnlyFailure();
    EXPECT_EQ(failure.entry, "victim");
    EXPECT_NE(failure.reason.find(c.inReason), std::string::npos) << failure.reason;
    EXPECT_EQ(testing_support::ReadFile(destination + "/victim"), "previous version");
    EXPECT_EQ(testing_support::ReadFile(destination + "/good"), "good");
    EXPECT_EQ(ListTree(destination), (std::vector<std::string>{"good", "victim"}));
    EXPECT_TRUE(TempFilesBelow(work).empty());
  }
}

TEST_F(CraftedArchives, EveryHeaderLevelWithCp932Names) {
  ASSERT_EQ(Extract(R"({"entries":[
      {"path":"ソ\\表.txt","level":0,"data":"zero"},
      {"path":"能\\予.txt","level":1,"data":"one"},
      {"path":"ｶﾀｶﾅ\\ﾃﾞｰﾀ.txt","level":2,"data":"two"},
      {"path":"深い\\ソ表能予.txt","level":3,"data":"three","mtime":1600000000},
      {"path":"空\\","level":2,"dir":true,"mtime":1500000000}]})"),
            0)
      << (recording->ui.failures.empty() ? "" : unlha32::FailureText(recording->ui.failures[0]));
  EXPECT_EQ(testing_support::ReadFile(destination + "/ソ/表.txt"), "zero");
  EXPECT_EQ(testing_support::ReadFile(destination + "/能/予.txt"), "one");
  EXPECT_EQ(testing_support::ReadFile(destination + "/ｶﾀｶﾅ/ﾃﾞｰﾀ.txt"), "two");
  EXPECT_EQ(testing_support::ReadFile(destination + "/深い/ソ表能予.txt"), "three");
  struct stat info {};
  ASSERT_EQ(stat((destination + "/深い/ソ表能予.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtim.tv_sec, 1600000000);
  ASSERT_EQ(stat((destination + "/空").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtim.tv_sec, 1500000000);
  EXPECT_TRUE(fs::is_directory(destination + "/空"));
  ExpectNothingOutside();
}

TEST_F(CraftedArchives, MissingArchiveAndFolderArchive) {
  recording.reset();
  recording = std::make_unique<ScopedRecordingUi>();
  work = testing_support::MakeTempDir("missing");
  EXPECT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(work) + "\\NONE.LZH", WindowsPath(work) + "\\out").c_str(), nullptr, 0),
            ERROR_NOT_FIND_ARC_FILE);
  fs::create_directories(work + "/DIR.LZH");
  EXPECT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(work) + "\\DIR.LZH", WindowsPath(work) + "\\out").c_str(), nullptr, 0),
            ERROR_ARC_FILE_OPEN);
  EXPECT_EQ(Unlha(nullptr, ExtractCommand("Q:\\NO\\DRIVE.LZH", WindowsPath(work) + "\\out").c_str(), nullptr, 0),
            ERROR_NOT_FIND_ARC_FILE);
  EXPECT_EQ(recording->ui.failures.size(), 3u);
  EXPECT_FALSE(fs::exists(work + "/out"));
}

TEST_F(CraftedArchives, WhatStandsInTheWayIsNeverReplacedOrFollowed) {
  // A file where the archive needs a folder, a folder where it needs a file, and a
  // link inside the destination that leads outside: each fails, nothing outside
  // changes, and the files before the failure are whole.
  struct Case {
    const char* label;
    const char* spec;
    void (*prepare)(const std::string& destination, const std::string& outside);
    int result;
  };
  const Case cases[] = {
      {"file in the way of a folder", R"({"entries":[{"path":"ok","data":"ok"},{"path":"a\\b.txt","data":"b"}]})",
       [](const std::string& d, const std::string&) { testing_support::WriteFile(d + "/a", "file"); },
       ERROR_MAKEDIRECTORY},
      {"archive's own file in the way of its folder", R"({"entries":[{"path":"ok","data":"ok"},{"path":"a","data":"a"},{"path":"a\\b.txt","data":"b"}]})",
       [](const std::string&, const std::string&) {}, ERROR_MAKEDIRECTORY},
      {"folder in the way of a file", R"({"entries":[{"path":"ok","data":"ok"},{"path":"a","data":"a"}]})",
       [](const std::string& d, const std::string&) { fs::create_directories(d + "/a/keep"); },
       ERROR_CANNOT_WRITE},
      {"link inside the destination", R"({"entries":[{"path":"ok","data":"ok"},{"path":"link\\x.txt","data":"evil"}]})",
       [](const std::string& d, const std::string& outside) {
         fs::create_directories(d);
         fs::create_directories(outside);
         fs::create_directory_symlink(outside, d + "/link");
       },
       ERROR_MAKEDIRECTORY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    work = testing_support::MakeTempDir("in-the-way");
    archive = work + "/CRAFTED.LZH";
    destination = work + "/out";
    CraftArchive(c.spec, archive);
    c.prepare(destination, work + "/outside");
    const auto outsideBefore = ListTree(work + "/outside");
    recording.reset();
    recording = std::make_unique<ScopedRecordingUi>();
    EXPECT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(destination)).c_str(),
                    nullptr, 0),
              c.result);
    EXPECT_EQ(OnlyFailure().result, c.result);
    EXPECT_EQ(testing_support::ReadFile(destination + "/ok"), "ok");
    EXPECT_EQ(ListTree(work + "/outside"), outsideBefore);
    EXPECT_TRUE(TempFilesBelow(work).empty());
  }
}

TEST_F(CraftedArchives, DestinationThatIsAFileFails) {
  work = testing_support::MakeTempDir("dest-file");
  archive = work + "/CRAFTED.LZH";
  CraftArchive(R"({"entries":[{"path":"a","data":"a"}]})", archive);
  testing_support::WriteFile(work + "/out", "a file");
  recording = std::make_unique<ScopedRecordingUi>();
  EXPECT_EQ(Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(work + "/out") + "\\").c_str(),
                  nullptr, 0),
            ERROR_MAKEDIRECTORY);
  EXPECT_EQ(testing_support::ReadFile(work + "/out"), "a file");
}

// An observer that tries to start a second extraction while the first runs, as a
// handler could while the progress window handles events.
class ReenteringUi : public RecordingUi {
 public:
  bool Progress(const std::string& entryName, std::uint64_t bytesDone) override {
    if (inner == 0) {
      char log[128];
      inner = Unlha(nullptr, command.c_str(), log, sizeof log);
      innerLog = log;
    }
    return RecordingUi::Progress(entryName, bytesDone);
  }
  std::string command;
  int inner = 0;
  std::string innerLog;
};

TEST_F(CraftedArchives, ASecondCallWhileOneRunsIsRefused) {
  work = testing_support::MakeTempDir("reenter");
  archive = work + "/CRAFTED.LZH";
  CraftArchive(R"({"entries":[{"path":"a","data":"a"},{"path":"b","data":"b"}]})", archive);
  ReenteringUi ui;
  ui.command = ExtractCommand(WindowsPath(archive), WindowsPath(work + "/inner"));
  unlha32::UnlhaSetUiForTesting(&ui, &ui);
  char log[256];
  const int outer = Unlha(nullptr, ExtractCommand(WindowsPath(archive), WindowsPath(work + "/out")).c_str(),
                          log, sizeof log);
  unlha32::UnlhaSetUiForTesting(nullptr, nullptr);
  EXPECT_EQ(outer, 0);
  EXPECT_EQ(ui.inner, ERROR_ALREADY_RUNNING);
  EXPECT_FALSE(ui.innerLog.empty());
  EXPECT_FALSE(fs::exists(work + "/inner"));
  EXPECT_EQ(testing_support::ReadFile(work + "/out/b"), "b");
  // The summary of the outer call, in CP932: "2 個のファイル (2 バイト) を展開しました。"
  EXPECT_EQ(std::string(log).rfind("2 ", 0), 0u) << log;
}

}  // namespace
