// The extraction itself, free of any window: examines the whole archive first
// (names, link and device entries, methods, declared sizes, the end mark, free
// space), then writes every entry through TempFile and FileBatch, checking each
// entry's size itself (libarchive lets an LZH stream decode past or short of its
// declared size) and the CRC-16 of level 0 and 1 entries (libarchive checks that of
// level 2 and 3 only).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "unlha32/archive_reader.h"
#include "unlha32/destination.h"
#include "unlha32/file_batch.h"
#include "unlha32/observer.h"

namespace unlha32 {

class Extraction {
 public:
  explicit Extraction(ExtractionObserver& observer) : observer_(observer) {}

  // Extracts the archive (CP932 Windows path) below the destination (likewise).
  // Returns 0, or a result of unlha32.h with failure() saying why.
  int Run(const std::string& archiveWindowsPath, const std::string& destinationWindowsPath);

  const Failure& failure() const { return failure_; }
  std::uint64_t files() const { return files_; }
  std::uint64_t bytes() const { return bytesDone_; }

 private:
  struct PlannedEntry {
    std::vector<std::string> components;  // CP932
    std::string name;                     // UTF-8, "\"-separated, for messages
    bool folder = false;
    std::uint64_t size = 0;
    struct timespec modified {};
    std::uint16_t crc = 0;
    bool checkCrc = false;  // ours to check: libarchive does not for this header level
    std::int64_t headerPosition = 0;
  };

  bool Extract(const std::string& archiveWindowsPath, const std::string& destinationWindowsPath);
  bool Survey(ArchiveReader& reader);
  bool PlanEntry(ArchiveReader& reader, archive_entry* entry);
  bool CheckSpace(const Destination& destination);
  bool ExtractAll(ArchiveReader& reader, Destination& destination);
  bool ExtractFile(ArchiveReader& reader, Destination& destination, const PlannedEntry& entry);
  bool Fail(const Problem& problem, const std::string& entry = std::string());
  bool Cancelled(const std::string& entry);

  ExtractionObserver& observer_;
  Failure failure_;
  std::vector<PlannedEntry> plan_;
  FileBatch batch_;
  std::uint64_t totalBytes_ = 0;
  std::uint64_t bytesDone_ = 0;
  std::uint64_t files_ = 0;
};

}  // namespace unlha32
