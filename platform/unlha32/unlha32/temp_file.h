// One extracted file on its way to its place: written under a temporary name in
// the same folder, closed and stamped, then (once flushed to disk with others of
// its batch, see FileBatch) renamed over the final name. If it is not put in place,
// the destructor removes it, so no half file ever stays.
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
  // Closes the file and sets its modification time; it is then ready to be put
  // in place. After a failure the temporary file is removed at destruction.
  bool Finish(const struct timespec& modified, Problem& problem);
  // Renames the finished file over the final name.
  bool PutInPlace(Problem& problem);

  const std::string& path() const { return path_; }
  const std::string& finalPath() const { return finalPath_; }

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
