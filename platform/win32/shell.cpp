#include "win32/shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "errors.h"
#include "host_files.h"
#include "host_path.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"
#include "win32/paths.h"
#include "win32/report.h"

namespace {

using win32::Error;
using win32::Status;

// The names of a shell list: NUL-terminated names ended by an empty one.
std::vector<std::string> Names(LPCSTR list) {
  std::vector<std::string> names;
  if (list == nullptr) return names;
  while (*list != '\0') {
    names.emplace_back(list);
    list += names.back().size() + 1;
  }
  return names;
}

Error Because(int errnum) { return Error{win32::ErrnoText(errnum), errnum}; }

// Copies the open source into a fresh temporary file beside the target, flushed
// and given the source's times, then renames it over the target.
Status CopyInto(int source, const struct stat& info, const std::string& target) {
  const std::string temporary = win32::TemporaryNameBeside(target);
  const int fd = win32::Fs().Open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL,
                                  (info.st_mode & 0777) | 0200);
  if (fd < 0) return Because(errno);
  std::vector<char> chunk(64 * 1024);
  int error = 0;
  while (error == 0) {
    const ssize_t got = win32::Fs().Read(source, chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    if (!win32::WriteAll(fd, std::string_view(chunk.data(), static_cast<std::size_t>(got)))) {
      error = errno;
    }
  }
  if (error == 0 && win32::Fs().Fsync(fd) != 0) error = errno;
  if (win32::Fs().Close(fd) != 0 && error == 0) error = errno;
  if (error == 0) {
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    win32::Fs().Utimens(temporary.c_str(), times);
    if (win32::Fs().Rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  }
  if (error != 0) {
    win32::Fs().Unlink(temporary.c_str());
    return Because(error);
  }
  return {};
}

Status CopyFile(const std::string& from, const std::string& to) {
  win32::Expected<std::string> source = win32::ToHostPath(from);
  if (!source) return source.error();
  win32::Expected<std::string> target = win32::ToHostPath(to);
  if (!target) return target.error();
  const int fd = win32::Fs().Open(source->c_str(), O_RDONLY, 0);
  if (fd < 0) return Because(errno);
  struct stat info {};
  Status copied;
  if (win32::Fs().Stat(source->c_str(), &info) != 0) {
    copied = Because(errno);
  } else if (!S_ISREG(info.st_mode)) {
    copied = Because(EISDIR);
  } else if (struct stat existing {}; win32::Fs().Stat(target->c_str(), &existing) == 0 &&
                                      S_ISDIR(existing.st_mode)) {
    copied = Because(EISDIR);
  } else if (Status folders = win32::MakeHostFolders(win32::HostParent(*target)); !folders) {
    copied = folders;
  } else {
    copied = CopyInto(fd, info, *target);
  }
  win32::Fs().Close(fd);
  return copied;
}

Status DeleteFile(const std::string& path) {
  win32::Expected<std::string> host = win32::ToHostPath(path);
  if (!host) return host.error();
  struct stat info {};
  if (win32::Fs().Lstat(host->c_str(), &info) != 0) return Because(errno);
  if (S_ISDIR(info.st_mode)) return Because(EISDIR);
  if (win32::Fs().Unlink(host->c_str()) != 0) return Because(errno);
  return {};
}

std::string Shown(const std::string& cp932) { return win32::Cp932ForDisplay(cp932); }

int Fail(const SHFILEOPSTRUCTA& operation, const std::string& caption, const std::string& text,
         const Error& error) {
  if ((operation.fFlags & FOF_NOERRORUI) == 0) {
    win32::Report(operation.hwnd, caption, text + ": " + error.reason);
  }
  const DWORD code = win32::Win32ErrorFromErrno(error.errnum);
  return code != 0 ? static_cast<int>(code) : static_cast<int>(ERROR_WRITE_FAULT);
}

int Copy(SHFILEOPSTRUCTA& operation) {
  const std::vector<std::string> from = Names(operation.pFrom);
  const std::vector<std::string> to = Names(operation.pTo);
  if (from.empty() || to.empty()) return ERROR_INVALID_PARAMETER;
  for (std::size_t i = 0; i < from.size(); ++i) {
    const std::string& target = to[std::min(i, to.size() - 1)];
    Status copied = CopyFile(from[i], target);
    if (!copied) {
      operation.fAnyOperationsAborted = TRUE;
      return Fail(operation, "ファイルのコピー エラー",
                  Shown(from[i]) + " を " + Shown(target) + " にコピーできません", copied.error());
    }
  }
  return 0;
}

int Delete(SHFILEOPSTRUCTA& operation) {
  const std::vector<std::string> names = Names(operation.pFrom);
  if (names.empty()) return ERROR_INVALID_PARAMETER;
  for (const std::string& name : names) {
    Status deleted = DeleteFile(name);
    if (!deleted) {
      operation.fAnyOperationsAborted = TRUE;
      return Fail(operation, "ファイルの削除 エラー", Shown(name) + " を削除できません",
                  deleted.error());
    }
  }
  return 0;
}

}  // namespace

int SHFileOperationA(SHFILEOPSTRUCTA* operation) {
  if (operation == nullptr) return ERROR_INVALID_PARAMETER;
  operation->fAnyOperationsAborted = FALSE;
  switch (operation->wFunc) {
    case FO_COPY:
      return Copy(*operation);
    case FO_DELETE:
      return Delete(*operation);
    default:
      return ERROR_INVALID_PARAMETER;
  }
}
