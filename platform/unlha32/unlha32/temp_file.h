// One extracted file on its way to its place: written under a temporary name in
// the same folder, then flushed, stamped and renamed over the final name. If it
// is not committed, the destructor removes it, so no half file ever stays.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "unlha32/archive_reader.h"

namespace unlha32 {

class TempFile {
 public:
  // Creates a new temporary file in folder (a host path) for finalPath.
  static std::unique_ptr<TempFile> Create(const std::string& folder, const std::string& finalPath,
                                          Problem& problem);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Writes all of data; on failure the problem says why (ERROR_DISK_SPACE for a
  // full disk or quota, ERROR_CANNOT_WRITE otherwise).
  bool Write(const void* data, std::size_t size, Problem& problem);
  // Flushes to disk, closes, sets the modification time and renames over the
  // final name. After a failure the temporary file is gone and the final name
  // untouched.
  bool Commit(const struct timespec& modified, Problem& problem);

  const std::string& path() const { return path_; }

 private:
  TempFile(std::string path, std::string finalPath, int fd)
      : path_(std::move(path)), finalPath_(std::move(finalPath)), fd_(fd) {}
  bool Fail(int errnum, const char* what, Problem& problem);

  std::string path_;
  std::string finalPath_;
  int fd_;
  bool committed_ = false;
};

// The result for a failed write with errnum: a full disk is told apart.
int WriteFailureResult(int errnum);

}  // namespace unlha32
