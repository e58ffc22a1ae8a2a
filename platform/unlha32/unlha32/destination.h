// The destination folder and the folders below it, as host paths. Entry names
// arrive as CP932 components already checked by SplitEntryName; each is joined to
// the destination's Windows path and mapped with win32::ToHostPath, so an entry
// "README.TXT" replaces an existing "readme.txt" as it would on Windows. Inside
// the destination no symbolic link is ever followed.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "unlha32/archive_reader.h"
#include "unlha32/file_batch.h"

namespace unlha32 {

class Destination {
 public:
  // Maps windowsPath (CP932, with or without a closing separator); creates nothing.
  static std::unique_ptr<Destination> Map(const std::string& windowsPath, Problem& problem);

  // Bytes free for an unprivileged writer where the destination is, or will be.
  bool FreeBytes(std::uint64_t& bytes, Problem& problem) const;
  // Creates the destination folder with its parents.
  bool Create(Problem& problem);
  // Files not yet in their place: before a folder is made where one of them is to
  // go, they are put in place, so that the conflict shows as it would without
  // batching.
  void SetWaitingFiles(FileBatch* waiting) { waiting_ = waiting; }
  // Makes sure the first count components name folders (creating them); gives the
  // host path of the last one (the destination itself for count 0).
  bool Folder(const std::vector<std::string>& components, std::size_t count, std::string& host,
              Problem& problem);
  // The host path of a file entry, whose folders exist. A folder in its place fails.
  bool FilePath(const std::vector<std::string>& components, std::string& host, Problem& problem);

  // Remembers a folder entry's time, applied by Finish once every file is in place
  // (writing into a folder changes its time).
  void NoteFolderTime(const std::string& host, const struct timespec& modified);
  // Applies the folder times and flushes the file system, so that the renames are
  // on disk too.
  bool Finish(Problem& problem);

  const std::string& host() const { return host_; }

 private:
  Destination(std::string windowsBase, std::string host)
      : windowsBase_(std::move(windowsBase)), host_(std::move(host)) {}
  std::string WindowsPathOf(const std::vector<std::string>& components, std::size_t count) const;
  bool MapInside(const std::vector<std::string>& components, std::size_t count, std::string& host,
                 Problem& problem) const;

  FileBatch* waiting_ = nullptr;
  std::string windowsBase_;  // without a closing separator
  std::string host_;
  std::map<std::string, std::string> folders_;  // CP932 relative path -> host path
  std::vector<std::pair<std::string, struct timespec>> folderTimes_;
};

}  // namespace unlha32
