#include "rows.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "faulty_file_system.h"
#include "support/temp_home.h"
#include "user.h"
#include "win32/prefix.h"
#include "win32/synch.h"

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::SourceDir;
using testing_support::WriteFile;

namespace matrix {
namespace {

const std::string kPackage = "タヴォリン体験版";

std::string Volume(const RowPlace& place, int number) {
  char extension[8];
  std::snprintf(extension, sizeof extension, ".%03d", number);
  return place.medium + "/" + kPackage + extension;
}

// The package name of the medium in code page 932, for writing Setup.dat.
std::string PackageCp932() { return "\x83\x5E\x83\x94\x83\x48\x83\x8A\x83\x93\x91\xCC\x8C\xB1\x94\xC5"; }

void WriteSetupDat(RowPlace& place, const std::string& bytes) { WriteFile(place.medium + "/Setup.dat", bytes); }

// Replaces the split package with one archive made by the crafting tool from spec.
void UseCraftedArchive(RowPlace& place, const std::string& spec) {
  for (int i = 1; i <= 3; ++i) fs::remove(Volume(place, i));
  WriteSetupDat(place, PackageCp932() + "\r\n0\r\n");
  const std::string specPath = place.root + "/spec.json";
  WriteFile(specPath, spec);
  const std::string command = "python3 '" + SourceDir() + "/tools/craft_lzh.py' '" + place.medium + "/" +
                              kPackage + ".LZH' '" + specPath + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A package whose only entry is named name (raw, as the archive holds it).
std::string HostileEntry(const std::string& name) {
  return R"({"entries": [{"path": "ok.txt", "data": "fine"}, {"path": ")" + name +
         R"(", "raw_name": true, "data": "evil"}]})";
}

void NothingInstalled(const RowPlace& place, const std::string&) {
  EXPECT_FALSE(fs::exists(place.target)) << "something was installed";
}

HANDLE& RunningSetup() {
  static HANDLE handle = nullptr;
  return handle;
}

// The fault of the current row lives as long as the installer's process.
win32_testing::FaultyFileSystem* InstallFaults() { return new win32_testing::FaultyFileSystem(); }

std::vector<Row> MakeRows() {
  std::vector<Row> rows;
  const auto add = [&](Row row) { rows.push_back(std::move(row)); };

  // --- Setup.dat -------------------------------------------------------------
  add({"SetupDatEmpty", [](RowPlace& p) { WriteSetupDat(p, ""); }, nullptr, {}, "アーカイブが見つかりません", false, nullptr,
       NothingInstalled});
  add({"SetupDatBinary",
       [](RowPlace& p) {
         std::string bytes;
         for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
         WriteSetupDat(p, bytes);
       },
       nullptr, {}, "Setup.dat が正しくありません", false, nullptr, NothingInstalled});
  add({"SetupDatHuge",
       [](RowPlace& p) { WriteSetupDat(p, PackageCp932() + "\r\n" + std::string(64 << 20, ' ') + "3\r\n"); },
       nullptr, {"Return", "Return"}, nullptr, true, nullptr, nullptr});
  add({"SetupDatCountOutOfRange", [](RowPlace& p) { WriteSetupDat(p, PackageCp932() + "\r\n99999999999\r\n"); },
       nullptr, {}, "Setup.dat が正しくありません", false, nullptr, NothingInstalled});
  add({"SetupDatCountNegative", [](RowPlace& p) { WriteSetupDat(p, PackageCp932() + "\r\n-1\r\n"); }, nullptr,
       {}, "Setup.dat が正しくありません", false, nullptr, NothingInstalled});

  // --- volumes ---------------------------------------------------------------
  add({"VolumeMissingThenCancelled", [](RowPlace& p) { fs::remove(Volume(p, 3)); }, nullptr,
       {"Return", "Return", "Escape"}, "3 枚目のディスクをセットしてください", false, nullptr, NothingInstalled});
  add({"VolumeEmpty", [](RowPlace& p) { WriteFile(Volume(p, 2), ""); }, nullptr, {"Return", "Return"}, "途中で切れています",
       false, nullptr, NothingInstalled});
  add({"VolumeTruncated",
       [](RowPlace& p) {
         std::string bytes = ReadFile(Volume(p, 3));
         WriteFile(Volume(p, 3), bytes.substr(0, bytes.size() / 2));
       },
       nullptr, {"Return", "Return"}, "途中で切れています", false, nullptr, NothingInstalled});
  add({"VolumeDamaged",
       [](RowPlace& p) {
         std::string bytes = ReadFile(Volume(p, 2));
         bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x5A);
         WriteFile(Volume(p, 2), bytes);
       },
       // Entries before the damaged one may stay, each complete.
       nullptr, {"Return", "Return"}, "壊れています", false, nullptr, nullptr});

  // --- hostile archives ------------------------------------------------------
  struct Hostile {
    const char* name;
    std::string entry;
    const char* message;
  };
  for (const Hostile& hostile : std::vector<Hostile>{
           {"ArchiveTraversalBackslash", "..\\\\escaped.txt", "親フォルダ (..)"},
           {"ArchiveTraversalSlash", "../escaped.txt", "親フォルダ (..)"},
           {"ArchiveTraversalNested", "a\\\\..\\\\..\\\\escaped.txt", "親フォルダ (..)"},
           {"ArchiveAbsolute", "/tmp/escaped.txt", "絶対パス"},
           {"ArchiveDriveName", "C:\\\\escaped.txt", "ドライブ名"}}) {
    add({hostile.name, [entry = hostile.entry](RowPlace& p) { UseCraftedArchive(p, HostileEntry(entry)); },
         nullptr, {"Return", "Return"}, hostile.message, false, nullptr, [](const RowPlace& p, const std::string&) {
           for (const auto& where : {p.root, p.prefix + "/drive_c", p.prefix + "/drive_c/Program Files/Korvane"}) {
             EXPECT_FALSE(fs::exists(where + "/escaped.txt")) << where;
           }
         }});
  }
  add({"ArchiveLink",
       [](RowPlace& p) { UseCraftedArchive(p, R"({"entries": [{"path": "link", "symlink": "/etc/passwd"}]})"); },
       nullptr, {"Return", "Return"}, "リンクは展開できません", false, nullptr, NothingInstalled});
  add({"ArchiveHugeDeclaredSize",
       [](RowPlace& p) {
         UseCraftedArchive(p, R"({"entries": [{"path": "big.bin", "data": "x", "large_size": [1, 1099511627776000]}]})");
       },
       nullptr, {"Return", "Return"}, "空き容量が足りません", false, nullptr, NothingInstalled});
  add({"ArchiveHeaderLoop",
       [](RowPlace& p) {
         UseCraftedArchive(p, R"({"entries": [{"path": "a.txt", "data": "a", "level": 1, "skip_size": 0}], "end_mark": false})");
       },
       nullptr, {"Return", "Return"}, "壊れています", false, nullptr, NothingInstalled});

  // --- destination -----------------------------------------------------------
  add({"DestinationReadOnly", nullptr,
       [] { InstallFaults()->FailCall("open", "Korvane", EROFS); },
       {"Return", "Return", "Escape"}, "KWIX.INI", false, nullptr, NothingInstalled});
  add({"DestinationMissingDrive", nullptr, nullptr, {"text:Q:\\Games;Return", "Return", "Escape"}, "there is no drive Q:",
       false, nullptr, NothingInstalled});
  add({"DestinationTooLong", nullptr, nullptr,
       {"text:C:\\" + std::string(260, 'a') + ";Return", "Return", "Escape"}, "長すぎ", false, nullptr,
       NothingInstalled});

  // --- registry --------------------------------------------------------------
  add({"HiveMalformed",
       [](RowPlace& p) {
         WriteFile(p.prefix + "/registry/HKEY_CURRENT_USER.reg", "REGEDIT4\n\n[Software\\Korvane\n\"x\"=\n");
       },
       nullptr, {"Return", "Return", "Return"}, "HKEY_CURRENT_USER.reg", true, nullptr,
       [](const RowPlace& p, const std::string&) {
         EXPECT_EQ(ReadFile(p.prefix + "/registry/HKEY_CURRENT_USER.reg"),
                   "REGEDIT4\n\n[Software\\Korvane\n\"x\"=\n")
             << "a malformed hive is never overwritten";
       }});

  // --- faults while working --------------------------------------------------
  add({"DiskFullWhileJoining", nullptr,
       [] { InstallFaults()->FailCall("write", "TAVOTEMP", ENOSPC); },
       {"Return", "Return"}, "TAVOTEMP.LZH", false, nullptr, NothingInstalled});
  add({"ReadErrorWhileJoining", nullptr,
       [] { InstallFaults()->FailReadsAfter(".002", 10000); },
       {"Return", "Return"}, ".002", false, nullptr, NothingInstalled});
  add({"DiskFullWhileExtracting", nullptr,
       [] {
         // The joined archive is written first (about 300 KB); the disk
         // fills up once extraction has begun.
         InstallFaults()->FillDiskAfter(450000);
       },
       {"Return", "Return"}, "No space left on device", false, nullptr, nullptr});
  add({"ReadErrorWhileExtracting", nullptr,
       [] { InstallFaults()->FailReadsAfter("TAVOTEMP", 100000); },
       // Entries read before the error may stay, each complete.
       {"Return", "Return"}, "Input/output error", false, nullptr, nullptr});

  // --- a second installer ----------------------------------------------------
  add({"SecondSetupWhileOneRuns",
       [](RowPlace& p) {
         // This process stands for the installer that already runs: it holds the
         // same lock in the same prefix.
         setenv("SETUP_PREFIX", p.prefix.c_str(), 1);
         win32::ResetPrefixForTesting();
         RunningSetup() = CreateMutexA(nullptr, TRUE, "Setup");
         ASSERT_NE(RunningSetup(), nullptr);
       },
       nullptr, {}, "セットアップは既に実行中です。", false, nullptr,
       [](const RowPlace& p, const std::string& log) {
         CloseHandle(RunningSetup());
         NothingInstalled(p, log);
         EXPECT_EQ(log.find("window destination"), std::string::npos) << "the second installer asked for a folder";
       }});
  return rows;
}

}  // namespace

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = MakeRows();
  return rows;
}

void PrepareRowInChild(std::size_t index, const char* logPath) {
  const Row& row = Rows().at(index);
  if (row.fault) row.fault();
  StartScriptedUser(row.answers, logPath != nullptr ? logPath : "/dev/null");
}

}  // namespace matrix
