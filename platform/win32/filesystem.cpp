#include "win32/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "listing_cache.h"

namespace win32 {

int FileSystem::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags | O_CLOEXEC, mode);
}
ssize_t FileSystem::Read(int fd, void* buffer, std::size_t size) {
  return ::read(fd, buffer, size);
}
ssize_t FileSystem::Write(int fd, const void* buffer, std::size_t size) {
  return ::write(fd, buffer, size);
}
off_t FileSystem::Seek(int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); }
int FileSystem::Fsync(int fd) { return ::fsync(fd); }
int FileSystem::Close(int fd) { return ::close(fd); }
int FileSystem::Stat(const char* path, struct stat* result) { return ::stat(path, result); }
int FileSystem::Lstat(const char* path, struct stat* result) { return ::lstat(path, result); }
int FileSystem::StatVfs(const char* path, struct statvfs* result) {
  return ::statvfs(path, result);
}
int FileSystem::Mkdir(const char* path, mode_t mode) { return ::mkdir(path, mode); }
int FileSystem::Rename(const char* from, const char* to) { return ::rename(from, to); }
int FileSystem::Unlink(const char* path) { return ::unlink(path); }
int FileSystem::Rmdir(const char* path) { return ::rmdir(path); }
int FileSystem::Utimens(const char* path, const struct timespec times[2]) {
  return ::utimensat(AT_FDCWD, path, times, 0);
}
int FileSystem::Chmod(const char* path, mode_t mode) { return ::chmod(path, mode); }
int FileSystem::Symlink(const char* target, const char* linkPath) {
  return ::symlink(target, linkPath);
}

int FileSystem::ListFolder(const char* path, std::vector<std::string>* names) {
  DIR* dir = ::opendir(path);
  if (dir == nullptr) return -1;
  names->clear();
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names->emplace_back(entry->d_name);
    }
  }
  const int error = errno;
  ::closedir(dir);
  errno = error;
  return error == 0 ? 0 : -1;
}

namespace {

std::atomic<FileSystem*> replacement{nullptr};

FileSystem& Backend() {
  static FileSystem real;
  FileSystem* installed = replacement.load();
  return installed != nullptr ? *installed : real;
}

// What Fs() hands out: forwards every call to the file system in use and tells
// the listing cache about the entries that appeared or went away.
class NotingFileSystem final : public FileSystem {
 public:
  int Open(const char* path, int flags, mode_t mode) override {
    const int fd = Backend().Open(path, flags, mode);
    if (fd >= 0 && (flags & O_CREAT) != 0) Keep([&] { NoteCreated(path); });
    return fd;
  }
  ssize_t Read(int fd, void* buffer, std::size_t size) override {
    return Backend().Read(fd, buffer, size);
  }
  ssize_t Write(int fd, const void* buffer, std::size_t size) override {
    return Backend().Write(fd, buffer, size);
  }
  off_t Seek(int fd, off_t offset, int whence) override {
    return Backend().Seek(fd, offset, whence);
  }
  int Fsync(int fd) override { return Backend().Fsync(fd); }
  int Close(int fd) override { return Backend().Close(fd); }
  int Stat(const char* path, struct stat* result) override {
    return Backend().Stat(path, result);
  }
  int Lstat(const char* path, struct stat* result) override {
    return Backend().Lstat(path, result);
  }
  int StatVfs(const char* path, struct statvfs* result) override {
    return Backend().StatVfs(path, result);
  }
  int Mkdir(const char* path, mode_t mode) override {
    const int result = Backend().Mkdir(path, mode);
    if (result == 0) Keep([&] { NoteCreated(path); });
    return result;
  }
  int Rename(const char* from, const char* to) override {
    const int result = Backend().Rename(from, to);
    if (result == 0) {
      Keep([&] {
        NoteRemoved(from);
        NoteCreated(to);
      });
    }
    return result;
  }
  int Unlink(const char* path) override {
    const int result = Backend().Unlink(path);
    if (result == 0) Keep([&] { NoteRemoved(path); });
    return result;
  }
  int Rmdir(const char* path) override {
    const int result = Backend().Rmdir(path);
    if (result == 0) Keep([&] { NoteRemoved(path); });
    return result;
  }
  int Utimens(const char* path, const struct timespec times[2]) override {
    return Backend().Utimens(path, times);
  }
  int Chmod(const char* path, mode_t mode) override { return Backend().Chmod(path, mode); }
  int Symlink(const char* target, const char* linkPath) override {
    const int result = Backend().Symlink(target, linkPath);
    if (result == 0) Keep([&] { NoteCreated(linkPath); });
    return result;
  }
  int ListFolder(const char* path, std::vector<std::string>* names) override {
    return Backend().ListFolder(path, names);
  }

 private:
  // Updating the cache makes system calls of its own; the caller's errno must
  // still be the one of its call.
  template <class F>
  static void Keep(F update) {
    const int saved = errno;
    update();
    errno = saved;
  }
};

}  // namespace

FileSystem& Fs() {
  static NotingFileSystem noting;
  return noting;
}

void SetFileSystemForTesting(FileSystem* fileSystem) {
  replacement.store(fileSystem);
  ForgetListings();
}

const char* ErrnoText(int errnum) { return std::strerror(errnum); }

}  // namespace win32
