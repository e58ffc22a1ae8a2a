#include "win32/kernel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "errors.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"
#include "win32/paths.h"
#include "win32/prefix.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

constexpr std::string_view kTempPath = "C:\\WINDOWS\\TEMP\\";
constexpr std::string_view kWindowsDirectory = "C:\\WINDOWS";

// The error code for a path that could not be mapped.
DWORD PathErrorCode(const win32::Error& error) {
  switch (error.errnum) {
    case EILSEQ:
      return ERROR_NO_UNICODE_TRANSLATION;
    case EINVAL:
      return ERROR_INVALID_NAME;
    default:
      return ERROR_PATH_NOT_FOUND;
  }
}

// Copies text with its terminator when it fits; otherwise writes nothing and
// gives the size needed, terminator included, as the directory calls do.
DWORD CopyOut(std::string_view text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || text.size() + 1 > size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return static_cast<DWORD>(text.size() + 1);
  }
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return static_cast<DWORD>(text.size());
}

// Maps a path, setting the last error when it cannot be.
bool MapPath(LPCSTR path, std::string& host) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  win32::Expected<std::string> mapped = win32::ToHostPath(path);
  if (!mapped) {
    SetLastError(PathErrorCode(mapped.error()));
    return false;
  }
  host = std::move(*mapped);
  return true;
}

}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

DWORD GetModuleFileNameA(HINSTANCE hModule, LPSTR buffer, DWORD size) {
  if (hModule != nullptr || buffer == nullptr || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  char self[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  win32::Expected<std::string> path = win32::ToWindowsPath(std::string(self, length));
  if (!path) {
    SetLastError(PathErrorCode(path.error()));
    return 0;
  }
  if (path->size() + 1 > size) {
    std::memcpy(buffer, path->data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, path->c_str(), path->size() + 1);
  return static_cast<DWORD>(path->size());
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
  if (win32::Expected<std::string> prefix = win32::EnsurePrefix(); !prefix) {
    SetLastError(PathErrorCode(prefix.error()));
    return 0;
  }
  return CopyOut(kTempPath, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  if (win32::Expected<std::string> prefix = win32::EnsurePrefix(); !prefix) {
    SetLastError(PathErrorCode(prefix.error()));
    return 0;
  }
  return CopyOut(kWindowsDirectory, buffer, size);
}

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) {
  if (longPath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  win32::Expected<std::string> shortName = win32::ShortPathName(longPath);
  if (!shortName) {
    SetLastError(shortName.error().errnum == ENOENT ? ERROR_FILE_NOT_FOUND
                                                    : PathErrorCode(shortName.error()));
    return 0;
  }
  return CopyOut(*shortName, shortPath, size);
}

BOOL DeleteFileA(LPCSTR path) {
  std::string host;
  if (!MapPath(path, host)) return FALSE;
  struct stat info {};
  if (win32::Fs().Lstat(host.c_str(), &info) != 0) {
    SetLastError(win32::Win32ErrorFromErrno(errno));
    return FALSE;
  }
  if (S_ISDIR(info.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (win32::Fs().Unlink(host.c_str()) != 0) {
    SetLastError(win32::Win32ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR path, void*) {
  std::string host;
  if (!MapPath(path, host)) return FALSE;
  if (win32::Fs().Mkdir(host.c_str(), 0755) != 0) {
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : win32::Win32ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

int lstrlenA(LPCSTR text) { return text == nullptr ? 0 : static_cast<int>(std::strlen(text)); }

LPSTR lstrcpyA(LPSTR destination, DWORD size, LPCSTR source) {
  if (destination == nullptr || source == nullptr) return nullptr;
  const std::size_t length = std::strlen(source);
  if (length + 1 > size) return nullptr;
  std::memmove(destination, source, length + 1);
  return destination;
}

LPSTR lstrcatA(LPSTR destination, DWORD size, LPCSTR source) {
  if (destination == nullptr || source == nullptr) return nullptr;
  const std::size_t used = ::strnlen(destination, size);
  const std::size_t length = std::strlen(source);
  if (used == size || used + length + 1 > size) return nullptr;
  std::memmove(destination + used, source, length + 1);
  return destination;
}

HFILE _lcreat(LPCSTR path, int attribute) {
  std::string host;
  if (!MapPath(path, host)) return HFILE_ERROR;
  const mode_t mode = (attribute & 1) != 0 ? 0444 : 0644;
  const int fd = win32::Fs().Open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
  if (fd < 0) {
    SetLastError(win32::Win32ErrorFromErrno(errno));
    return HFILE_ERROR;
  }
  return fd;
}

UINT _lwrite(HFILE file, LPCSTR buffer, UINT count) {
  if (buffer == nullptr && count > 0) return static_cast<UINT>(HFILE_ERROR);
  UINT done = 0;
  while (done < count) {
    const ssize_t written = win32::Fs().Write(file, buffer + done, count - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      SetLastError(win32::Win32ErrorFromErrno(written < 0 ? errno : ENOSPC));
      return static_cast<UINT>(HFILE_ERROR);
    }
    done += static_cast<UINT>(written);
  }
  return done;
}

HFILE _lclose(HFILE file) {
  if (win32::Fs().Close(file) != 0) {
    SetLastError(win32::Win32ErrorFromErrno(errno));
    return HFILE_ERROR;
  }
  return 0;
}

bool FileExists(std::string_view windowsPath) {
  win32::Expected<std::string> host = win32::ToHostPath(windowsPath);
  if (!host) return false;
  struct stat info {};
  return win32::Fs().Stat(host->c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ExtractFilePath(std::string_view windowsPath) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < windowsPath.size(); ++i) {
    const auto b = static_cast<unsigned char>(windowsPath[i]);
    if (win32::IsCp932LeadByte(b) && i + 1 < windowsPath.size()) {
      ++i;
    } else if (b == '\\' || b == ':') {
      end = i + 1;
    }
  }
  return std::string(windowsPath.substr(0, end));
}
