#include "grpconv/setup_ini.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "grpconv/group_file.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"
#include "win32/kernel.h"
#include "win32/paths.h"
#include "win32/prefix.h"

namespace grpconv {
namespace {

win32::Expected<std::string> WindowsDirectory() {
  char buffer[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) {
    return win32::Error{"the Windows directory of the prefix cannot be found"};
  }
  return std::string(buffer, length);
}

win32::Status CheckPrefix() {
  const std::string location = win32::PrefixLocation();
  struct stat info {};
  if (win32::Fs().Stat(location.c_str(), &info) != 0) {
    const int errnum = errno;
    return win32::Error{"there is no Windows prefix at " + location + ": " +
                            win32::ErrnoText(errnum),
                        errnum};
  }
  auto prefix = win32::EnsurePrefix();
  if (!prefix) return prefix.error();
  return {};
}

win32::Error ReadError(const std::string& shown, const std::string& reason, int errnum) {
  return win32::Error{"cannot read SETUP.INI (" + shown + "): " + reason, errnum};
}

win32::Error ReadError(const std::string& shown, int errnum) {
  return ReadError(shown, win32::ErrnoText(errnum), errnum);
}

// Reads at most one byte more than a group file may hold, so that a huge file is
// refused without being read whole.
win32::Expected<std::string> ReadBounded(int fd, const std::string& shown) {
  std::string bytes;
  char chunk[4096];
  while (bytes.size() <= kMaxGroupFileSize) {
    const ssize_t count = win32::Fs().Read(fd, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return ReadError(shown, errno);
    if (count == 0) return bytes;
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
  return win32::Error{"SETUP.INI (" + shown + ") is larger than " +
                      std::to_string(kMaxGroupFileSize) + " bytes: not a group file"};
}

}  // namespace

std::string SetupIniPath(std::string_view windowsDirectory) {
  std::string path(windowsDirectory);
  if (!path.empty() && !win32::EndsWithSeparator(path)) path += '\\';
  return path + "SETUP.INI";
}

win32::Expected<std::string> ReadSetupIni() {
  if (win32::Status prefix = CheckPrefix(); !prefix) return prefix.error();
  auto directory = WindowsDirectory();
  if (!directory) return directory.error();
  const std::string path = SetupIniPath(*directory);
  std::string shown = win32::Cp932ForDisplay(path);
  auto host = win32::ToHostPath(path);
  if (!host) return ReadError(shown, host.error().reason, host.error().errnum);
  shown += " at " + *host;
  struct stat info {};
  if (win32::Fs().Stat(host->c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return ReadError(shown, "not a file", 0);
  }
  const int fd = win32::Fs().Open(host->c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return ReadError(shown, errno);
  auto bytes = ReadBounded(fd, shown);
  win32::Fs().Close(fd);
  return bytes;
}

}  // namespace grpconv
