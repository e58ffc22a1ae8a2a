// A file system for tests that behaves like the real one until told to fail: a
// disk that fills up after some bytes, or a call that fails with a chosen errno
// for paths that contain a given text.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "win32/filesystem.h"

namespace win32_testing {

class FaultyFileSystem : public win32::FileSystem {
 public:
  // Installs itself for the lifetime of the object.
  FaultyFileSystem();
  ~FaultyFileSystem() override;
  FaultyFileSystem(const FaultyFileSystem&) = delete;
  FaultyFileSystem& operator=(const FaultyFileSystem&) = delete;

  // Makes the named call ("open", "write", "fsync", "close", "mkdir", "rename",
  // "unlink", "symlink", "list", "stat") fail with errnum for every path that
  // contains pathPart (write, fsync and close: for files opened with such a path).
  void FailCall(const std::string& call, const std::string& pathPart, int errnum);

  // Lets writes through until bytes have been written, then fails them with ENOSPC.
  void FillDiskAfter(long long bytes);

  // Lets reads of files whose path contains pathPart through until bytes have been
  // read from such files, then fails them with EIO (a disk going bad mid-file).
  void FailReadsAfter(const std::string& pathPart, long long bytes);

  int list_calls() const { return listCalls_; }

  int Open(const char* path, int flags, mode_t mode) override;
  ssize_t Read(int fd, void* buffer, std::size_t size) override;
  ssize_t Write(int fd, const void* buffer, std::size_t size) override;
  int Fsync(int fd) override;
  int Close(int fd) override;
  int Stat(const char* path, struct stat* result) override;
  int Mkdir(const char* path, mode_t mode) override;
  int Rename(const char* from, const char* to) override;
  int Unlink(const char* path) override;
  int Symlink(const char* target, const char* linkPath) override;
  int ListFolder(const char* path, std::vector<std::string>* names) override;

 private:
  struct Fault {
    std::string call;
    std::string pathPart;
    int errnum;
  };
  // The errno a call on path must fail with, or 0.
  int FaultFor(const std::string& call, const std::string& path) const;
  int FaultForFd(const std::string& call, int fd) const;

  std::vector<Fault> faults_;
  std::vector<std::string> fdPaths_;
  long long writeBudget_ = -1;
  std::string readFaultPath_;
  long long readBudget_ = -1;
  std::atomic<int> listCalls_{0};
};

}  // namespace win32_testing
