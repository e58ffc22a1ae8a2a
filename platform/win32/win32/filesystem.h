// The one seam through which every file-system call of the layer (and of the
// archiver stand-in) goes, on host paths, with POSIX results and errno. A test
// replaces it to make a disk fill up, a read fail or a rename refuse, which
// permissions alone cannot do for a process running as root.
#pragma once

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace win32 {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Read(int fd, void* buffer, std::size_t size);
  virtual ssize_t Write(int fd, const void* buffer, std::size_t size);
  virtual off_t Seek(int fd, off_t offset, int whence);
  virtual int Fsync(int fd);
  virtual int Close(int fd);
  virtual int Stat(const char* path, struct stat* result);   // follows links
  virtual int Lstat(const char* path, struct stat* result);  // does not
  virtual int StatVfs(const char* path, struct statvfs* result);
  virtual int Mkdir(const char* path, mode_t mode);
  virtual int Rename(const char* from, const char* to);
  virtual int Unlink(const char* path);
  virtual int Rmdir(const char* path);
  virtual int Utimens(const char* path, const struct timespec times[2]);
  virtual int Chmod(const char* path, mode_t mode);
  virtual int Symlink(const char* target, const char* linkPath);
  // The names in a folder, without "." and "..", in no particular order; 0 or -1
  // with errno.
  virtual int ListFolder(const char* path, std::vector<std::string>* names);
};

// The file system in use: the real one unless a test installed another. Creations,
// renames and removals made through it also keep the layer's listing cache right
// (see paths.h), whoever calls them.
FileSystem& Fs();

// Installs a replacement (nullptr restores the real one). The caller keeps
// ownership and must restore before destroying it.
void SetFileSystemForTesting(FileSystem* replacement);

// The usual sentence for an errno value, in English (strerror).
const char* ErrnoText(int errnum);

}  // namespace win32
