#include "lzh_media.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "support/temp_home.h"
#include "unlha32/unlha32.h"
#include "win32/paths.h"

namespace fs = std::filesystem;

namespace unlha32_test {
namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

void Run(const std::string& command) {
  const int status = std::system(command.c_str());
  ASSERT_EQ(status, 0) << command;
}

std::string Tool(const char* name) {
  return testing_support::SourceDir() + "/tools/" + name;
}

// The interpreter the build found (tools/archive_tools.cmake), else the one on PATH.
std::string Python() {
  const char* configured = std::getenv("UNLHA_PYTHON3");
  return configured != nullptr && *configured != '\0' ? configured : "python3";
}

}  // namespace

void MakeJlhaArchive(const std::string& source, const std::vector<std::string>& names,
                     const std::string& options, const std::string& out) {
  std::string command = Quote(Tool("make_lzh_jlha.sh")) + " " + Quote(options) + " " +
                        Quote(out) + " " + Quote(source);
  for (const auto& name : names) command += " " + Quote(name);
  Run(command);
  ASSERT_TRUE(fs::exists(out)) << command;
}

void CraftArchive(const std::string& specJson, const std::string& out) {
  const std::string spec = out + ".json";
  testing_support::WriteFile(spec, specJson);
  Run(Quote(Python()) + " " + Quote(Tool("craft_lzh.py")) + " " + Quote(out) + " " + Quote(spec));
}

std::vector<std::string> MakeSampleTree(const std::string& root) {
  using testing_support::WriteFile;
  std::mt19937 random(42);
  std::string noise(150000, '\0');
  for (auto& c : noise) c = static_cast<char>(random());
  std::string text;
  for (int i = 0; i < 4000; ++i) text += "行 " + std::to_string(i) + " ソフトウェア\r\n";
  WriteFile(root + "/README.TXT", "Read me first.\r\n");
  WriteFile(root + "/空.dat", "");
  WriteFile(root + "/1.bin", "x");
  WriteFile(root + "/ソ表能予.txt", text);
  WriteFile(root + "/ﾃﾞｰﾀ/ｶﾀｶﾅ.bin", noise);
  WriteFile(root + "/ﾃﾞｰﾀ/表/深い/能予.ini", "[設定]\r\n音量=5\r\n");
  WriteFile(root + "/ﾃﾞｰﾀ/表/得点表.csv", "1,2,3\r\n");
  fs::create_directories(root + "/空のフォルダ");
  // Times the archive carries back: even seconds, since level 0 and 1 headers hold
  // DOS times.
  std::int64_t stamp = 1262304000;  // 2010-01-01
  for (const auto& name : ListTree(root)) {
    const fs::path path = fs::path(root) / name;
    const struct timespec times[2] = {{stamp, 0}, {stamp, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
    stamp += 86400 + 2;
  }
  return {"README.TXT", "空.dat", "1.bin", "ソ表能予.txt", "ﾃﾞｰﾀ", "空のフォルダ"};
}

std::vector<std::string> ListTree(const std::string& root) {
  std::vector<std::string> names;
  if (!fs::exists(root)) return names;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    names.push_back(fs::relative(item.path(), root).string() +
                    (item.is_directory() && !item.is_symlink() ? "/" : ""));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string CompareTrees(const std::string& expected, const std::string& actual) {
  const auto want = ListTree(expected);
  const auto got = ListTree(actual);
  if (want != got) {
    std::string text = "names differ; expected:";
    for (const auto& n : want) text += " " + n;
    text += "; actual:";
    for (const auto& n : got) text += " " + n;
    return text;
  }
  for (const auto& name : want) {
    if (name.back() == '/') continue;
    if (testing_support::ReadFile(expected + "/" + name) !=
        testing_support::ReadFile(actual + "/" + name)) {
      return "bytes differ: " + name;
    }
  }
  return "";
}

std::vector<std::string> TempFilesBelow(const std::string& root) {
  std::vector<std::string> found;
  for (const auto& name : ListTree(root)) {
    if (name.find(".unlha-") != std::string::npos) found.push_back(name);
  }
  return found;
}

std::string WindowsPath(const std::string& hostPath) {
  auto windows = win32::ToWindowsPath(hostPath);
  EXPECT_TRUE(windows.ok()) << hostPath << ": " << windows.error().reason;
  return windows.ok() ? *windows : std::string();
}

std::string ExtractCommand(const std::string& archiveWindows,
                           const std::string& destinationWindows) {
  return "x \"" + archiveWindows + "\" \"" + destinationWindows + "\"";
}

bool RecordingUi::Begin(std::uint64_t totalBytes) {
  ++begins;
  total = totalBytes;
  return cancelAfter != 0;
}

bool RecordingUi::Progress(const std::string& entryName, std::uint64_t bytesDone) {
  ++progressCalls;
  EXPECT_GE(bytesDone, lastDone);
  EXPECT_LE(bytesDone, total);
  lastDone = bytesDone;
  if (names.empty() || names.back() != entryName) names.push_back(entryName);
  return cancelAfter < 0 || progressCalls < cancelAfter;
}

ScopedRecordingUi::ScopedRecordingUi() { unlha32::UnlhaSetUiForTesting(&ui, &ui); }
ScopedRecordingUi::~ScopedRecordingUi() { unlha32::UnlhaSetUiForTesting(nullptr, nullptr); }

}  // namespace unlha32_test
