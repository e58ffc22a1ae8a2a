#include "host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

#include "host_path.h"
#include "win32/filesystem.h"

namespace win32 {

Error SystemError(const std::string& what, int errnum) {
  return Error{what + ": " + ErrnoText(errnum), errnum};
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = Fs().Write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

Expected<std::string> ReadHostFile(const std::string& path) {
  const int fd = Fs().Open(path.c_str(), O_RDONLY, 0);
  if (fd < 0) return SystemError("cannot open " + path, errno);
  std::string bytes;
  char chunk[65536];
  while (true) {
    const ssize_t got = Fs().Read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      Fs().Close(fd);
      return SystemError("cannot read " + path, error);
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  Fs().Close(fd);
  return bytes;
}

namespace {

// Writes bytes into a file that must not exist, flushed; removes it on failure.
Status WriteFresh(const std::string& path, std::string_view bytes, mode_t mode) {
  const int fd = Fs().Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
  if (fd < 0) return SystemError("cannot create " + path, errno);
  if (!WriteAll(fd, bytes) || Fs().Fsync(fd) != 0) {
    const int error = errno;
    Fs().Close(fd);
    Fs().Unlink(path.c_str());
    return SystemError("cannot write " + path, error);
  }
  if (Fs().Close(fd) != 0) {
    const int error = errno;
    Fs().Unlink(path.c_str());
    return SystemError("cannot write " + path, error);
  }
  return {};
}

}  // namespace

Status WriteNewHostFile(const std::string& path, std::string_view bytes, mode_t mode) {
  return WriteFresh(path, bytes, mode);
}

std::string TemporaryNameBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = HostParent(path);
  return JoinHost(folder, "." + HostBaseName(path) + ".tmp-" + std::to_string(::getpid()) + "-" +
                              std::to_string(++counter));
}

Status ReplaceHostFile(const std::string& path, std::string_view bytes, mode_t mode) {
  const std::string temporary = TemporaryNameBeside(path);
  Status written = WriteFresh(temporary, bytes, mode);
  if (!written) return written;
  if (Fs().Rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    Fs().Unlink(temporary.c_str());
    return SystemError("cannot replace " + path, error);
  }
  return {};
}

Status MakeHostFolders(const std::string& path) {
  struct stat info {};
  if (Fs().Stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return {};
    return SystemError("cannot create the folder " + path, ENOTDIR);
  }
  const std::string parent = HostParent(path);
  if (parent != path) {
    Status made = MakeHostFolders(parent);
    if (!made) return made;
  }
  if (Fs().Mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
    return SystemError("cannot create the folder " + path, errno);
  }
  return {};
}

Status RemoveHostTree(const std::string& path) {
  struct stat info {};
  if (Fs().Lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return {};
    return SystemError("cannot remove " + path, errno);
  }
  if (!S_ISDIR(info.st_mode)) {
    if (Fs().Unlink(path.c_str()) != 0) return SystemError("cannot remove " + path, errno);
    return {};
  }
  std::vector<std::string> names;
  if (Fs().ListFolder(path.c_str(), &names) != 0) return SystemError("cannot list " + path, errno);
  for (const std::string& name : names) {
    Status removed = RemoveHostTree(JoinHost(path, name));
    if (!removed) return removed;
  }
  if (Fs().Rmdir(path.c_str()) != 0) return SystemError("cannot remove " + path, errno);
  return {};
}

}  // namespace win32
