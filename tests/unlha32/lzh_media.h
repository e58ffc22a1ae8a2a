// Test media for the archiver: archives made by jlha from real trees, archives
// crafted byte by byte by tools/craft_lzh.py, and the checks on what was extracted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "unlha32/observer.h"

namespace unlha32_test {

// Runs jlha in folder source over names (relative to it), making out. options is
// jlha's letters after "c", e.g. "2o5" (level 2, -lh5-) or "1z" (level 1, stored).
// Names are UTF-8 on disk and written as CP932 into the archive.
void MakeJlhaArchive(const std::string& source, const std::vector<std::string>& names,
                     const std::string& options, const std::string& out);

// Runs tools/craft_lzh.py with the JSON spec text.
void CraftArchive(const std::string& specJson, const std::string& out);

// A tree of the names the installer's packages carry: folders, CP932 characters
// whose second byte is 0x5C (ソ, 表, 能, 予), half-width katakana, an empty file,
// compressible and incompressible data. Returns the top-level names in it.
std::vector<std::string> MakeSampleTree(const std::string& root);

// Every file and folder below root, relative, sorted ("a/b" style).
std::vector<std::string> ListTree(const std::string& root);

// Empty when the two trees hold the same names and the same bytes; otherwise what differs.
std::string CompareTrees(const std::string& expected, const std::string& actual);

// Files anywhere below root whose name marks them as the archiver's temporary files.
std::vector<std::string> TempFilesBelow(const std::string& root);

// The Windows path of a host path (through the prefix's drives), failing the test
// when there is none.
std::string WindowsPath(const std::string& hostPath);

// The command the installer sends.
std::string ExtractCommand(const std::string& archiveWindows, const std::string& destinationWindows);

// Records what the extraction told the user.
class RecordingUi : public unlha32::ExtractionObserver, public unlha32::FailureReporter {
 public:
  bool Begin(std::uint64_t totalBytes) override;
  bool Progress(const std::string& entryName, std::uint64_t bytesDone) override;
  void End() override { ++ends; }
  void Report(const unlha32::Failure& failure) override { failures.push_back(failure); }

  // Progress calls after which the observer asks to stop (-1: never); 0 stops at Begin.
  int cancelAfter = -1;
  std::uint64_t total = 0;
  int begins = 0;
  int ends = 0;
  int progressCalls = 0;
  std::uint64_t lastDone = 0;
  std::vector<std::string> names;
  std::vector<unlha32::Failure> failures;
};

// Installs a RecordingUi for the test's lifetime.
class ScopedRecordingUi {
 public:
  ScopedRecordingUi();
  ~ScopedRecordingUi();
  RecordingUi ui;
};

}  // namespace unlha32_test
