#include "win32/faulty_file_system.h"

#include <cerrno>

namespace win32_testing {

FaultyFileSystem::FaultyFileSystem() { win32::SetFileSystemForTesting(this); }

FaultyFileSystem::~FaultyFileSystem() { win32::SetFileSystemForTesting(nullptr); }

void FaultyFileSystem::FailCall(const std::string& call, const std::string& pathPart,
                                int errnum) {
  faults_.push_back(Fault{call, pathPart, errnum});
}

void FaultyFileSystem::FillDiskAfter(long long bytes) { writeBudget_ = bytes; }

int FaultyFileSystem::FaultFor(const std::string& call, const std::string& path) const {
  for (const Fault& fault : faults_) {
    if (fault.call == call && path.find(fault.pathPart) != std::string::npos) return fault.errnum;
  }
  return 0;
}

int FaultyFileSystem::FaultForFd(const std::string& call, int fd) const {
  if (fd < 0 || static_cast<std::size_t>(fd) >= fdPaths_.size()) return 0;
  return FaultFor(call, fdPaths_[static_cast<std::size_t>(fd)]);
}

#define FAIL_IF(errnum)       \
  do {                        \
    if (const int e = (errnum)) { \
      errno = e;              \
      return -1;              \
    }                         \
  } while (false)

int FaultyFileSystem::Open(const char* path, int flags, mode_t mode) {
  FAIL_IF(FaultFor("open", path));
  const int fd = FileSystem::Open(path, flags, mode);
  if (fd >= 0) {
    if (fdPaths_.size() <= static_cast<std::size_t>(fd)) fdPaths_.resize(fd + 1);
    fdPaths_[static_cast<std::size_t>(fd)] = path;
  }
  return fd;
}

void FaultyFileSystem::FailReadsAfter(const std::string& pathPart, long long bytes) {
  readFaultPath_ = pathPart;
  readBudget_ = bytes;
}

ssize_t FaultyFileSystem::Read(int fd, void* buffer, std::size_t size) {
  const bool watched = readBudget_ >= 0 && fd >= 0 && static_cast<std::size_t>(fd) < fdPaths_.size() &&
                       fdPaths_[static_cast<std::size_t>(fd)].find(readFaultPath_) != std::string::npos;
  if (!watched) return FileSystem::Read(fd, buffer, size);
  if (readBudget_ == 0) {
    errno = EIO;
    return -1;
  }
  if (static_cast<long long>(size) > readBudget_) size = static_cast<std::size_t>(readBudget_);
  const ssize_t got = FileSystem::Read(fd, buffer, size);
  if (got > 0) readBudget_ -= got;
  return got;
}

ssize_t FaultyFileSystem::Write(int fd, const void* buffer, std::size_t size) {
  FAIL_IF(FaultForFd("write", fd));
  if (writeBudget_ >= 0) {
    if (writeBudget_ == 0) {
      errno = ENOSPC;
      return -1;
    }
    if (static_cast<long long>(size) > writeBudget_) size = static_cast<std::size_t>(writeBudget_);
  }
  const ssize_t written = FileSystem::Write(fd, buffer, size);
  if (written > 0 && writeBudget_ >= 0) writeBudget_ -= written;
  return written;
}

int FaultyFileSystem::Fsync(int fd) {
  FAIL_IF(FaultForFd("fsync", fd));
  return FileSystem::Fsync(fd);
}

int FaultyFileSystem::Close(int fd) {
  const int fault = FaultForFd("close", fd);
  if (fd >= 0 && static_cast<std::size_t>(fd) < fdPaths_.size()) {
    fdPaths_[static_cast<std::size_t>(fd)].clear();
  }
  const int result = FileSystem::Close(fd);
  FAIL_IF(fault);
  return result;
}

int FaultyFileSystem::Stat(const char* path, struct stat* result) {
  FAIL_IF(FaultFor("stat", path));
  return FileSystem::Stat(path, result);
}

int FaultyFileSystem::Mkdir(const char* path, mode_t mode) {
  FAIL_IF(FaultFor("mkdir", path));
  return FileSystem::Mkdir(path, mode);
}

int FaultyFileSystem::Rename(const char* from, const char* to) {
  FAIL_IF(FaultFor("rename", to));
  return FileSystem::Rename(from, to);
}

int FaultyFileSystem::Unlink(const char* path) {
  FAIL_IF(FaultFor("unlink", path));
  return FileSystem::Unlink(path);
}

int FaultyFileSystem::Symlink(const char* target, const char* linkPath) {
  FAIL_IF(FaultFor("symlink", linkPath));
  return FileSystem::Symlink(target, linkPath);
}

int FaultyFileSystem::ListFolder(const char* path, std::vector<std::string>* names) {
  ++listCalls_;
  FAIL_IF(FaultFor("list", path));
  return FileSystem::ListFolder(path, names);
}

}  // namespace win32_testing
