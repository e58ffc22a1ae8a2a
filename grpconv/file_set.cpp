#include "grpconv/file_set.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "win32/filesystem.h"

namespace grpconv {
namespace {

win32::Error SystemError(const std::string& what, const std::string& path, int errnum) {
  return win32::Error{what + " " + path + ": " + win32::ErrnoText(errnum), errnum};
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p: every missing folder of path, outermost first.
win32::Status MakeFolders(const std::string& path) {
  struct stat info {};
  if (win32::Fs().Stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return {};
    return SystemError("cannot create the folder", path, ENOTDIR);
  }
  if (errno != ENOENT) return SystemError("cannot create the folder", path, errno);
  const std::string parent = ParentOf(path);
  if (parent != path) {
    if (win32::Status made = MakeFolders(parent); !made) return made;
  }
  if (win32::Fs().Mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    return SystemError("cannot create the folder", path, errno);
  }
  return {};
}

std::string TemporaryName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, start) + "." + path.substr(start) + ".tmp-" +
         std::to_string(getpid());
}

win32::Status WriteAll(int fd, std::string_view content, const std::string& path) {
  while (!content.empty()) {
    const ssize_t written = win32::Fs().Write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return SystemError("cannot write", path, written < 0 ? errno : EIO);
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  if (win32::Fs().Fsync(fd) != 0) return SystemError("cannot write", path, errno);
  return {};
}

// Writes content to temporary, a file that this process alone uses; one left
// behind by an earlier process of the same number is replaced.
win32::Status WriteTemporary(const std::string& temporary, const std::string& content,
                             const std::string& path) {
  win32::FileSystem& fs = win32::Fs();
  const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW;
  fs.Unlink(temporary.c_str());
  const int fd = fs.Open(temporary.c_str(), flags, 0644);
  if (fd < 0) return SystemError("cannot write", path, errno);
  win32::Status written = WriteAll(fd, content, path);
  if (fs.Close(fd) != 0 && written) written = SystemError("cannot write", path, errno);
  return written;
}

void RemoveAll(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) win32::Fs().Unlink(path.c_str());
}

}  // namespace

void FileSet::Add(const std::string& path, std::string content) {
  for (File& file : files_) {
    if (file.path == path) {
      file.content = std::move(content);
      return;
    }
  }
  files_.push_back({path, std::move(content)});
}

std::vector<std::string> FileSet::Paths() const {
  std::vector<std::string> paths;
  for (const File& file : files_) paths.push_back(file.path);
  return paths;
}

win32::Status FileSet::Commit() const {
  for (const File& file : files_) {
    if (win32::Status made = MakeFolders(ParentOf(file.path)); !made) return made;
  }
  std::vector<std::string> temporaries;
  for (const File& file : files_) {
    temporaries.push_back(TemporaryName(file.path));
    win32::Status written = WriteTemporary(temporaries.back(), file.content, file.path);
    if (!written) {
      RemoveAll(temporaries);
      return written;
    }
  }
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (win32::Fs().Rename(temporaries[i].c_str(), files_[i].path.c_str()) != 0) {
      const int errnum = errno;
      RemoveAll({temporaries.begin() + static_cast<std::ptrdiff_t>(i), temporaries.end()});
      return SystemError("cannot write", files_[i].path, errnum);
    }
  }
  return {};
}

}  // namespace grpconv
